#include "core/layer_rows.h"

#include <utility>

namespace lumetrix {

void LayerRows::addRow() {
    const int c = count() + 1;
    LayerRow r;
    r.creationNumber = c;
    r.identity = c;
    const bool medium = c < 3;
    r.number = medium ? "" : std::to_string(c - 2);
    r.numberEnabled = !medium;
    r.layerFile = medium ? "air" : " ";
    r.thickness = medium ? " " : "0";
    r.thicknessEnabled = !medium;
    r.segments = medium ? " " : "1";
    r.segmentsEnabled = !medium;
    r.roughness = c > 1 ? "0" : "";
    m_rows.push_back(r);
    if (c > 2)
        exchange(c - 1, c, false, false);
}

void LayerRows::removeRow() {
    const int c = count();
    if (c <= 2)
        return;
    exchange(c, c - 1, false, true);
    m_rows.pop_back();
}

void LayerRows::exchange(int a, int b, bool keepNumbering, bool exchangeIdentities) {
    LayerRow& x = row(a);
    LayerRow& y = row(b);
    std::swap(x.numberEnabled, y.numberEnabled);
    if (!keepNumbering)
        std::swap(x.number, y.number);
    std::swap(x.layerFile, y.layerFile);
    if (exchangeIdentities)
        std::swap(x.identity, y.identity);
    std::swap(x.thickness, y.thickness);
    std::swap(x.thicknessEnabled, y.thicknessEnabled);
    std::swap(x.segments, y.segments);
    std::swap(x.segmentsEnabled, y.segmentsEnabled);
    std::swap(x.roughness, y.roughness);
    std::swap(x.pvActive, y.pvActive);
    std::swap(x.pvEnabled, y.pvEnabled);
}

bool LayerRows::addLayerAbove(int k) {
    if (layers() >= kMaxLayers || k < 1 || k > layers())
        return false;
    addRow();
    bringLastLayerTo(k);
    return true;
}

void LayerRows::bringLastLayerTo(int k) {
    const int r = k + 1;
    const int c = count();
    for (int j = c - 2; j >= r; --j)
        exchange(j, j + 1, true, true);
    row(r).identity = c;
}

bool LayerRows::deleteLayer(int k) {
    if (k < 1 || k > layers())
        return false;
    sendLayerToEnd(k);
    removeRow();
    return true;
}

void LayerRows::sendLayerToEnd(int k) {
    for (int j = k + 2; j <= count() - 1; ++j)
        exchange(j, j - 1, true, true);
}

int LayerRows::findRow(int identity) const {
    for (int i = 0; i < count(); ++i)
        if (m_rows[static_cast<std::size_t>(i)].identity == identity)
            return i + 1;
    return 0;
}

} // namespace lumetrix
