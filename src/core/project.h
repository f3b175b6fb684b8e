#pragma once

#include "core/adf_groups.h"

#include <array>
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

// The Haze parameters page.
struct HazeSettings {
    enum class Power { Two, Three, Custom }; // rbPower2, rbPower3, rbPowerCustom
    Power power = Power::Three;
    std::string ePowerHT = "2.5";
    bool rbHazeC = true; // else rbHazeH
    std::string cb_cR_HR;
    std::string cb_cT_HT;
    bool cbUseOtherHaze = false;
    std::string eHazeOtherSpecifyInt;
    bool rbHazeC_adv = true;
    std::string cb_cR_HR_adv;
    std::string cb_cT_HT_adv;
    bool cbSpecified = false;
    std::string eHazeSpecSpecifyInt;

    bool operator==(const HazeSettings&) const = default;
};

// An ADF box of the main block: the selected item (-1 for none) and the text.
struct AdfChoice {
    int selected = 0;
    std::string text;

    bool operator==(const AdfChoice&) const = default;
};

// ADF1 or ADF2 of the main block.
struct AdfFunction {
    bool external = false; // rbExternalADF1 / rbExternalADF2
    AdfChoice t;
    AdfChoice r;
    std::string lambertianT = "1.00";
    std::string lambertianR = "1.00";
    std::string ellipseT = "1.00";
    std::string ellipseR = "1.00";

    bool operator==(const AdfFunction&) const = default;
};

// The Angular Distribution Functions page with its interface groups.
struct AdfSettings {
    std::string pbNoAngles = "45";
    AdfFunction adf1;
    AdfFunction adf2;
    bool cbOtherADF = true;
    AdfGroupTable groups;
    // The drop-down lists of cbADF1R and cbADF2R, which close the section.
    std::vector<std::string> adf1List;
    std::vector<std::string> adf2List;

    bool operator==(const AdfSettings&) const = default;
};

// The Total Reflectance and Transmittance page.
struct RefTransSettings {
    // A column of calibration factors: eRTSpecifInterface, pbC12, pbC21, cbTRdirect1 (and the
    // columns 2 and 3 with their suffixes).
    struct FactorBlock {
        std::string interfaces;
        std::string c12 = "1";
        std::string c21 = "1";
        bool direct = false;
        bool operator==(const FactorBlock&) const = default;
    };
    // A column of calibration functions: eRTSpecifInterface_advF1, cbCalFunc_c12_1,
    // cbCalFunc_c21_1, cbTRdirect_adv1 (and column 2).
    struct FunctionBlock {
        std::string interfaces;
        std::string c12;
        std::string c21;
        bool direct = false;
        bool operator==(const FunctionBlock&) const = default;
    };

    bool cbIncludeDecr = false;
    std::array<FactorBlock, 3> factors;
    bool cbIncludeFDecrTR = false;
    std::array<FunctionBlock, 2> functions;
    bool cbIncludeDecr_adv = false;
    std::string pbC12entire = "1";
    bool cbIncludeInc_adv = false;
    std::string eRTSpecifInterface_adv;
    std::string pbC21Scatt = "1";

    bool operator==(const RefTransSettings&) const = default;
};

// The Illumination Spectrum page.
struct SpectrumSettings {
    std::string cbSpekter;
    bool cbManually = false;
    bool rbCoherent = true; // else rbCombination
    std::string pbRatio = "0.00";
    bool rbSpecADFInternal = true;
    AdfChoice cbADF1_Spekt;
    std::string pbSpectrLamb = "1.00";
    std::string pbSpectrEllipsis = "1.00";

    bool operator==(const SpectrumSettings&) const = default;
};

// The File locations page as its edits show it (folders may begin with <WORKDIR>).
struct FilesSettings {
    std::string eOutFileDir;
    std::string eOutFileName;
    std::string eDir_nk;
    std::string eDir_HRHT;
    std::string eDir_cRcT;
    std::string eDir_ars;
    std::string eDir_spk;
    std::string eDir_dat;

    bool operator==(const FilesSettings&) const = default;
};

// Everything an input file holds, named after the controls that hold each setting. Each
// page fills its own part.
struct Project {
    StructureSettings structure;
    HazeSettings haze;
    AdfSettings adf;
    RefTransSettings refTrans;
    SpectrumSettings spectrum;
    FilesSettings files;
    bool rbNormalPrecision = true; // else rbHighPrecision
    std::string comments;          // the text of TekstMemo, lines separated by line feeds

    bool operator==(const Project&) const = default;
};

} // namespace lumetrix
