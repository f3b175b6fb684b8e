#include "core/textfile.h"

#include "core/text_codec.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetrix {

std::optional<std::string> encodeFileText(const std::vector<std::string>& lines,
                                          std::size_t* badLine) {
    std::string bytes;
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    bytes.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // Plain ASCII (every number) is the same in both encodings.
        if (std::all_of(lines[i].begin(), lines[i].end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            bytes += lines[i];
            bytes += "\r\n";
            continue;
        }
        const auto encoded = utf8ToCp1252(lines[i]);
        if (!encoded) {
            if (badLine)
                *badLine = i + 1;
            return std::nullopt;
        }
        bytes += *encoded;
        bytes += "\r\n";
    }
    return bytes;
}

namespace {

// The file a save replaces: a symbolic link is followed to its target, so that the link
// stays; a file that exists must be writable by the user.
// Returns the reason when the file may not be saved.
std::optional<std::string> resolveSaveTarget(const std::string& path, std::string& target) {
    std::error_code error;
    target = path;
    if (std::filesystem::is_symlink(path, error)) {
        target = std::filesystem::weakly_canonical(path, error).string();
        if (error)
            return error.message();
    }
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0)
        return std::strerror(errno);
    return std::nullopt;
}

} // namespace

std::optional<std::string> stageTextFile(const std::string& requestedPath,
                                         const std::vector<std::string>& lines,
                                         StagedFile& staged) {
    std::size_t badLine = 0;
    const auto encoded = encodeFileText(lines, &badLine);
    if (!encoded)
        return "line " + std::to_string(badLine) + " holds a character that the file cannot store";
    const std::string& bytes = *encoded;
    std::string path;
    if (const auto refused = resolveSaveTarget(requestedPath, path))
        return refused;

    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return std::strerror(errno);
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const std::string reason = std::strerror(errno);
            ::close(fd);
            std::remove(temp.c_str());
            return reason;
        }
        written += static_cast<std::size_t>(n);
    }
    // The new file keeps the permissions and owner of the file it replaces, or gets those of
    // a plainly created file.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
        // Who may not give the file back to its owner (not root) keeps it as their own.
        [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(temp.c_str());
        return reason;
    }
    staged = {temp, path};
    return std::nullopt;
}

std::optional<std::string> commitStagedFile(const StagedFile& staged) {
    if (std::rename(staged.temp.c_str(), staged.target.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(staged.temp.c_str());
        return reason;
    }
    return std::nullopt;
}

void discardStagedFile(const StagedFile& staged) {
    std::remove(staged.temp.c_str());
}

std::optional<std::string> writeTextFile(const std::string& path,
                                         const std::vector<std::string>& lines) {
    StagedFile staged;
    if (auto reason = stageTextFile(path, lines, staged))
        return reason;
    return commitStagedFile(staged);
}

Result<std::string> readSmallFile(const std::string& path, std::size_t maxBytes, const char* kind) {
    std::error_code error;
    const auto type = std::filesystem::status(path, error).type();
    if (type == std::filesystem::file_type::directory)
        return ReadError{path, 0, "this is a folder, not a file"};
    // A pipe would block the reading and a device such as /dev/zero never end it.
    if (!error && type != std::filesystem::file_type::regular)
        return ReadError{path, 0, "this is not a regular file"};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return ReadError{path, 0, "the file cannot be opened"};
    const auto tooLarge = [&](const std::string& size) {
        return ReadError{
            path, 0, "the file is too large for a " + std::string(kind) + " (" + size + " bytes)"};
    };
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    if (size < 0)
        return ReadError{path, 0, "the file cannot be read"};
    if (static_cast<std::size_t>(size) > maxBytes)
        return tooLarge(std::to_string(size));
    in.seekg(0);
    // The file may grow while it is read: never read more than the limit.
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size));
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        bytes.append(block, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > maxBytes)
            return tooLarge("more than " + std::to_string(maxBytes));
    }
    if (in.bad())
        return ReadError{path, 0, "the file cannot be read"};
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    return bytes;
}

namespace {

// Where `c` next stands in `text` from `from`, or the end of the text.
std::size_t nextOf(std::string_view text, std::size_t from, char c) {
    if (from >= text.size())
        return text.size();
    const void* at = std::memchr(text.data() + from, c, text.size() - from);
    return at ? static_cast<std::size_t>(static_cast<const char*>(at) - text.data()) : text.size();
}

} // namespace

bool LineCursor::next(std::string_view& line) {
    if (m_at >= m_text.size())
        return false;
    // Each search goes on from where the last one stopped: a file of lone CRs costs no more
    // than one of LFs.
    if (!m_searched || m_lf < m_at)
        m_lf = nextOf(m_text, m_at, '\n');
    if (!m_searched || m_cr < m_at)
        m_cr = nextOf(m_text, m_at, '\r');
    m_searched = true;
    const std::size_t end = std::min(m_lf, m_cr);
    line = m_text.substr(m_at, end - m_at);
    m_at = end + (end == m_cr && m_lf == end + 1 ? 2 : 1);
    return true;
}

std::string cannotCreateFileMessage(const std::string& path, const std::string& reason) {
    return "Cannot create file \"" + path + "\". " + reason;
}

} // namespace lumetrix
