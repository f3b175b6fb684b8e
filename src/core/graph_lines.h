#pragma once

#include "core/result_files.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumetrix {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// The colours that new lines take in turn.
inline constexpr std::array<Rgb, 10> kLinePalette{{{255, 0, 0},
                                                   {0, 0, 255},
                                                   {255, 255, 0},
                                                   {0, 255, 255},
                                                   {0, 128, 0},
                                                   {128, 0, 0},
                                                   {0, 255, 0},
                                                   {128, 0, 128},
                                                   {255, 0, 255},
                                                   {0, 0, 0}}};

// Line ids: the on-line lines carry the quantity they plot, every other line a number handed
// out from -10 downwards.
inline constexpr int kReflectanceLine = -2;
inline constexpr int kTransmittanceLine = -1;
inline constexpr int kDeletedLayerLine = -3;
inline constexpr int kFirstOtherLine = -10;
inline bool isOnLineId(int id) {
    return id > kDeletedLayerLine;
}
// The on-line item that controls an on-line line: R and T are items 0 and 1, a layer's line
// carries its row position, which is also its item's index.
inline int onLineItemOf(int id) {
    return id < 0 ? id + 2 : id;
}

// What a line of the result graph shows.
struct LineContent {
    int id = 0;
    GraphLine data; // label and points
    Rgb colour;
    bool rightAxis = false;
    bool visible = true; // the series is drawn
    bool checked = true; // the legend box
};

// The lines of the result graph: their order in the legend (index 0 on top), the order in
// which their series are drawn, the palette and the ids. Each line sits in a slot that keeps
// its place in the drawing order; moving a line in the legend moves its content from slot to
// slot, so a line can change its drawing place with it.
class GraphLines {
public:
    int count() const { return static_cast<int>(m_slots.size()); }
    bool empty() const { return m_slots.empty(); }
    const LineContent& line(int index) const { return m_slots[static_cast<std::size_t>(index)].c; }
    LineContent& line(int index) { return m_slots[static_cast<std::size_t>(index)].c; }
    // The legend index of the line with this id, or -1.
    int find(int id) const;
    // Legend indices in drawing order: later ones are drawn over earlier ones.
    std::vector<int> drawingOrder() const;
    std::vector<GraphLine> data() const;

    int paletteIndex() const { return m_palette; }
    int oldCounter() const { return m_oldCounter; }
    int nextId() const { return m_nextId; }

    // An on-line line (quantity id) at the top of the legend, drawn over all others; false
    // when the graph already has a line with this id.
    bool addOnLine(int id, GraphLine data);
    // A line of two table columns at the bottom of the legend; returns its id.
    int addTableLine(GraphLine data);
    // Removes the line with this id; false when there is none.
    bool remove(int id);
    // After a removal through the legend menu: an empty graph starts the palette again.
    void restartPaletteWhenEmpty();
    // A new label: an on-line line becomes an ordinary line, and the id of the on-line item
    // that controlled it is returned.
    std::optional<int> rename(int index, const std::string& label);
    // Every line gone; the old copies count from 1 and the palette starts again.
    void clear();
    // Copies of the on-line lines, labelled "Old<n> <label>", drawn under the on-line lines,
    // which take the next palette colour. Nothing when the graph is empty.
    void keepOldLines();
    // The layer lines follow their rows: rowIdentity[p] is the identity of the row at position
    // p (positions from 1; index 0 unused) and caption[p] its layer. A line found at p takes
    // p as id and caption[p] as label and loses its points; a line whose row is gone is
    // removed. Returns the positions whose on-line item is to be checked.
    std::vector<int> followRows(const std::vector<int>& rowIdentity,
                                const std::vector<std::string>& caption);

private:
    struct Slot {
        int serial;
        LineContent c;
    };
    Slot makeSlot(int id, GraphLine data);
    void eraseSlotContent(std::size_t index);

    std::vector<Slot> m_slots;
    std::vector<int> m_drawing; // slot serials, first drawn first
    int m_serial = 0;
    int m_palette = 0;
    int m_oldCounter = 1;
    int m_nextId = kFirstOtherLine;
};

} // namespace lumetrix
