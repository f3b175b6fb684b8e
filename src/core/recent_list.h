#pragma once

#include <string>
#include <vector>

namespace lumetrix {

// The recent-file list of the File menu: at most ten paths, the last used first.
class RecentList {
public:
    static constexpr std::size_t kMaxEntries = 10;

    const std::vector<std::string>& paths() const { return m_paths; }
    // The path moves to the top (or enters there); the oldest drops out past ten.
    void use(const std::string& path);
    void remove(const std::string& path);
    // The captions of the menu entries: "&1 path" ... "&10 path".
    std::vector<std::string> captions() const;
    // The path of a stored caption ("&3 /a/b.dat" -> "/a/b.dat"); empty for an empty caption.
    static std::string pathOfCaption(const std::string& caption);

private:
    std::vector<std::string> m_paths;
};

} // namespace lumetrix
