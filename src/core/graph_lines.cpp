#include "core/graph_lines.h"

#include <algorithm>

namespace lumetrix {

int GraphLines::find(int id) const {
    for (int i = 0; i < count(); ++i)
        if (line(i).id == id)
            return i;
    return -1;
}

std::vector<int> GraphLines::drawingOrder() const {
    std::vector<int> order;
    for (int serial : m_drawing)
        for (int i = 0; i < count(); ++i)
            if (m_slots[static_cast<std::size_t>(i)].serial == serial)
                order.push_back(i);
    return order;
}

std::vector<GraphLine> GraphLines::data() const {
    std::vector<GraphLine> lines;
    for (const Slot& slot : m_slots)
        lines.push_back(slot.c.data);
    return lines;
}

GraphLines::Slot GraphLines::makeSlot(int id, GraphLine data) {
    Slot slot{m_serial++, {}};
    slot.c.id = id;
    slot.c.data = std::move(data);
    slot.c.colour = kLinePalette[static_cast<std::size_t>(m_palette)];
    m_palette = (m_palette + 1) % static_cast<int>(kLinePalette.size());
    m_drawing.push_back(slot.serial);
    return slot;
}

bool GraphLines::addOnLine(int id, GraphLine data) {
    if (find(id) >= 0)
        return false;
    m_slots.insert(m_slots.begin(), makeSlot(id, std::move(data)));
    // The top legend line is drawn over all others.
    m_drawing.clear();
    for (auto slot = m_slots.rbegin(); slot != m_slots.rend(); ++slot)
        m_drawing.push_back(slot->serial);
    return true;
}

int GraphLines::addTableLine(GraphLine data) {
    const int id = m_nextId--;
    m_slots.push_back(makeSlot(id, std::move(data)));
    return id;
}

void GraphLines::eraseSlotContent(std::size_t index) {
    // Each later line moves up into the slot above it; the last slot goes.
    for (std::size_t i = index; i + 1 < m_slots.size(); ++i)
        m_slots[i].c = m_slots[i + 1].c;
    std::erase(m_drawing, m_slots.back().serial);
    m_slots.pop_back();
    if (m_slots.empty())
        m_nextId = kFirstOtherLine;
}

bool GraphLines::remove(int id) {
    const int index = find(id);
    if (index < 0)
        return false;
    eraseSlotContent(static_cast<std::size_t>(index));
    return true;
}

void GraphLines::restartPaletteWhenEmpty() {
    if (m_slots.empty())
        m_palette = 0;
}

std::optional<int> GraphLines::rename(int index, const std::string& label) {
    LineContent& content = line(index);
    if (content.data.label == label)
        return std::nullopt;
    content.data.label = label;
    if (!isOnLineId(content.id))
        return std::nullopt;
    const int item = onLineItemOf(content.id);
    content.id = m_nextId--;
    return item;
}

void GraphLines::clear() {
    m_slots.clear();
    m_drawing.clear();
    m_oldCounter = 1;
    m_palette = 0;
}

void GraphLines::keepOldLines() {
    if (m_slots.empty())
        return;
    int copies = 0;
    for (int i = count() - 1; i >= 0; --i) {
        if (!isOnLineId(line(i).id))
            continue;
        Slot copy = makeSlot(m_nextId--, line(i).data);
        copy.c.data.label = "Old" + std::to_string(m_oldCounter) + " " + line(i).data.label;
        copy.c.colour = line(i).colour;
        copy.c.rightAxis = line(i).rightAxis;
        copy.c.checked = line(i).checked;
        copy.c.visible = line(i).visible;
        line(i).colour = kLinePalette[static_cast<std::size_t>(m_palette)];
        m_slots.push_back(std::move(copy));
        ++copies;
    }
    if (copies == 0)
        return;
    // Each copy moves back past the on-line lines, so that they are drawn over their copies.
    for (int n = 0; n < copies; ++n) {
        const auto last = static_cast<std::ptrdiff_t>(m_drawing.size()) - 1;
        const auto to = std::max<std::ptrdiff_t>(0, last - (2 * copies - 1));
        std::rotate(m_drawing.begin() + to, m_drawing.begin() + last, m_drawing.end());
    }
    ++m_oldCounter;
}

std::vector<int> GraphLines::followRows(const std::vector<int>& rowIdentity,
                                        const std::vector<std::string>& caption) {
    std::vector<int> checkedItems;
    for (std::size_t i = 0; i < m_slots.size();) {
        LineContent& content = m_slots[i].c;
        if (content.id <= 0) {
            ++i;
            continue;
        }
        const auto row = std::find(rowIdentity.begin() + 1, rowIdentity.end(), content.id);
        if (row == rowIdentity.end()) {
            eraseSlotContent(i); // its layer was deleted; the next line is now at i
            continue;
        }
        const auto position = static_cast<int>(row - rowIdentity.begin());
        content.id = position;
        content.data = GraphLine{caption[static_cast<std::size_t>(position)], {}, {}};
        checkedItems.push_back(position);
        ++i;
    }
    return checkedItems;
}

} // namespace lumetrix
