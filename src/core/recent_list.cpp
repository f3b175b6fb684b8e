#include "core/recent_list.h"

#include <algorithm>

namespace lumetrix {

void RecentList::use(const std::string& path) {
    // The same path compared whole: a path that merely contains another is another file.
    const auto found = std::find(m_paths.begin(), m_paths.end(), path);
    if (found != m_paths.end())
        m_paths.erase(found);
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > kMaxEntries)
        m_paths.resize(kMaxEntries);
}

void RecentList::remove(const std::string& path) {
    std::erase(m_paths, path);
}

std::vector<std::string> RecentList::captions() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < m_paths.size(); ++i)
        out.push_back("&" + std::to_string(i + 1) + " " + m_paths[i]);
    return out;
}

std::string RecentList::pathOfCaption(const std::string& caption) {
    const auto blank = caption.find(' ');
    return blank == std::string::npos ? std::string() : caption.substr(blank + 1);
}

} // namespace lumetrix
