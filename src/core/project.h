#pragma once

#include <string>
#include <vector>

namespace lumetrix {

// One row of the Structure page as its controls hold it. Numeric settings are the texts the
// numeric edits show, since the input file stores those texts.
struct LayerRow {
    int creationNumber = 0;
    int identity = 0;
    std::string number; // the layer-number edit: "1".."48", empty for the media
    bool numberEnabled = false;
    std::string layerFile; // the layer file box
    std::string thickness;
    bool thicknessEnabled = true;
    std::string segments;
    bool segmentsEnabled = true;
    std::string roughness; // of the interface above the row; row 1 has none
    bool pvActive = false;
    bool pvEnabled = true;

    bool operator==(const LayerRow&) const = default;
};

// The Structure page: the rows from the top medium to the bottom medium, and the two
// factors of the layer incoherency conditions.
struct StructureSettings {
    std::vector<LayerRow> rows;
    std::string pbIfactor = "1";
    std::string pbCfactor = "1";

    bool operator==(const StructureSettings&) const = default;
};

// Everything an input file holds, named after the controls that hold each setting. Each
// page fills its own part.
struct Project {
    StructureSettings structure;

    bool operator==(const Project&) const = default;
};

} // namespace lumetrix
