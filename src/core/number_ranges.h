#pragma once

// The ranges of the numeric settings: what their numeric edits keep and what a file may hold.
namespace lumetrix {

struct NumberRange {
    long double min = 0; // min and max both 0: any number
    long double max = 0;
    bool whole = false;

    bool any() const { return min == 0 && max == 0; }
    bool holds(long double value) const { return any() || (min <= value && value <= max); }
};

namespace ranges {
inline constexpr NumberRange kThickness{0, 1e7};
inline constexpr NumberRange kSegments{1, 1000, true};
inline constexpr NumberRange kRoughness{0, 10000};
inline constexpr NumberRange kIncoherentFactor{0.000001L, 100000000};
inline constexpr NumberRange kCoherentFactor{0.000001L, 9999999};
// Calibration factors c12, c21 and c12entire, and the diffused share of the spectrum.
inline constexpr NumberRange kFraction{0, 1};
inline constexpr NumberRange kBackSideIncrease{1, 100};
inline constexpr NumberRange kPowerFactor{0, 100};
inline constexpr NumberRange kAnyNumber{};
// The rows of the structure (layers and the two media) and the ADF interface groups.
inline constexpr NumberRange kRowCount{2, 50, true};
inline constexpr NumberRange kGroupCount{1, 15, true};
// An item of a drop-down list, counted from 1 (0: none); the lists are far shorter.
inline constexpr NumberRange kListPosition{0, 1000, true};
} // namespace ranges

} // namespace lumetrix
