#pragma once

#include "core/project.h"

#include <vector>

namespace lumetrix {

// The row operations of the Structure page on the row values: rows are appended and removed
// only at the end; inserting and deleting a layer elsewhere moves values between rows.
class LayerRows {
public:
    static constexpr int kMaxLayers = 48;

    std::vector<LayerRow>& rows() { return m_rows; }
    const std::vector<LayerRow>& rows() const { return m_rows; }
    int count() const { return static_cast<int>(m_rows.size()); }
    int layers() const { return count() - 2; }

    // A new row at the end: the bottom medium moves down to it and a blank layer takes its
    // old place (from the third row on).
    void addRow();
    // Drops the last layer: the bottom medium moves up one row.
    void removeRow();
    // Moves values between rows a and b (1-based, both at least 2).
    void exchange(int a, int b, bool keepNumbering, bool exchangeIdentities);
    // A blank layer above layer k; false at 48 layers or when k is not a layer.
    bool addLayerAbove(int k);
    // Deletes layer k; false when k is not a layer.
    bool deleteLayer(int k);
    // The two halves of those, for a page that adds and removes rows by its own steps:
    // the last layer (just added) travels up to layer k and the layers from k on move down;
    // layer k travels down to the last layer and the layers below it move up.
    void bringLastLayerTo(int k);
    void sendLayerToEnd(int k);
    // The first row (1-based) with the identity, 0 when none.
    int findRow(int identity) const;

private:
    LayerRow& row(int r) { return m_rows[static_cast<std::size_t>(r - 1)]; }

    std::vector<LayerRow> m_rows;
};

} // namespace lumetrix
