#pragma once

#include <array>
#include <string>

namespace lumetrix {

// One ADF of a group: internal model choices and external files, both kept, so that a
// switch between internal and external and back restores the earlier choice.
struct AdfSet {
    bool external = false;
    std::string rChoice = "1"; // 1-based item numbers of the internal models
    std::string tChoice = "1";
    std::string rFile;
    std::string tFile;
    // Lambertian n for R, Lambertian n for T, ellipse ratio b:a for R, for T.
    std::array<double, 4> parameters{1.0, 1.0, 1.0, 1.0};

    enum Parameter { LambertianR, LambertianT, EllipseR, EllipseT };

    bool operator==(const AdfSet&) const = default;
};

// The interfaces of a group and its ADF1 and ADF2.
struct AdfGroup {
    std::string interfaces;
    AdfSet adf1;
    AdfSet adf2;

    static AdfGroup defaults();
    bool operator==(const AdfGroup&) const = default;
};

// The fixed table of ADF interface groups; groups 1 .. count() are in use.
class AdfGroupTable {
public:
    static constexpr int kMaxGroups = 15;

    AdfGroupTable() { reset(); }

    int count() const { return m_count; }
    // Sets the number of groups in use (1 .. 15), as a reader does.
    void setCount(int count);
    AdfGroup& group(int g) { return m_groups[static_cast<std::size_t>(g - 1)]; }
    const AdfGroup& group(int g) const { return m_groups[static_cast<std::size_t>(g - 1)]; }

    // All records to their defaults, one group.
    void reset();
    // One more group (at most 15); returns the group to select: the last one.
    int add();
    // Removes the selected group, moving the later ones down and resetting the freed last
    // record; returns the group to select. Nothing happens with one group.
    int remove(int selected);

    bool operator==(const AdfGroupTable&) const = default;

private:
    std::array<AdfGroup, kMaxGroups> m_groups;
    int m_count = 1;
};

// The page of a function's parameter panel: 0 "Lambertian", 1 "Ellipsis", 2 "None". Items 1
// and 2 of an internal list take the Lambertian power, items 3 and 4 (ADF1) or 3 to 6
// (ADF2) the ellipse ratio; external functions and other items take none.
int adfParameterPage(int adf, bool external, int selectedItem);

} // namespace lumetrix
