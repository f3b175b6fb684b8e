#include "core/adf_groups.h"

#include <algorithm>

namespace lumetrix {

AdfGroup AdfGroup::defaults() {
    AdfGroup g;
    g.adf1.rFile = "ADF1R_unity";
    g.adf1.tFile = "ADF1T_unity";
    g.adf2.rFile = "ADF2R_unity";
    g.adf2.tFile = "ADF2T_unity";
    return g;
}

void AdfGroupTable::setCount(int count) {
    m_count = std::clamp(count, 1, kMaxGroups);
}

void AdfGroupTable::reset() {
    m_groups.fill(AdfGroup::defaults());
    m_count = 1;
}

int AdfGroupTable::add() {
    if (m_count < kMaxGroups)
        ++m_count;
    return m_count;
}

int AdfGroupTable::remove(int selected) {
    if (m_count <= 1)
        return selected;
    selected = std::clamp(selected, 1, m_count);
    for (int g = selected; g < m_count; ++g)
        group(g) = group(g + 1);
    group(m_count) = AdfGroup::defaults();
    if (selected == m_count)
        --selected;
    --m_count;
    return selected;
}

int adfParameterPage(int adf, bool external, int selectedItem) {
    if (external)
        return 2;
    if (selectedItem == 1 || selectedItem == 2)
        return 0;
    if (selectedItem == 3 || selectedItem == 4)
        return 1;
    if (adf == 2 && (selectedItem == 5 || selectedItem == 6))
        return 1;
    return 2;
}

} // namespace lumetrix
