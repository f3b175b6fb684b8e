#pragma once

namespace lumetrix {

// The pages of the main window, in the order of the side panel's buttons by number (the
// Comments page's button stands below the Process window's on the panel).
enum class Page { Structure, Haze, Adf, RefTrans, Spectrum, Files, Comments, Process, Results };

inline constexpr int kPageCount = 9;
// The pages before the Comments page have an advanced part and its switch.
inline constexpr int kAdvancedPageCount = 6;

constexpr int pageIndex(Page page) {
    return static_cast<int>(page);
}
constexpr bool hasAdvancedPart(Page page) {
    return pageIndex(page) < kAdvancedPageCount;
}

} // namespace lumetrix
