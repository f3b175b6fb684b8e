#pragma once

#include <Eigen/Dense>
#include <vector>

namespace lumetrix::kernel {

// Scattered light travels in angle bins: in every layer, `bins` directions per half space in
// equal steps of the polar angle (bin i holds i .. i + 1 steps of 90 / bins degrees), each
// carrying a power. Interfaces are matrices over the bins, layers attenuate each bin along
// its oblique path, and the stack is solved by adding the layers from the bottom up.

// One interface: from above, what is reflected (up, into the layer above) and transmitted
// (down, into the layer below); from below the same the other way. Column = incoming bin.
struct BinInterface {
    Eigen::MatrixXd reflectDown, transmitDown; // light coming down
    Eigen::MatrixXd reflectUp, transmitUp;     // light coming up
};

// A rough side of an interface: the haze of each incoming bin (reflected and transmitted
// shares taken from the specular beam) and where the scattered light goes (shares over the
// outgoing bins, each summing to 1).
struct RoughSide {
    std::vector<double> hazeR, hazeT;
    std::vector<double> adfR, adfT;
};

// The polar angle (radians) of the middle of bin i.
double binAngle(int i, int bins);

// What each bin keeps of its light after one pass through a layer of absorption alpha * d:
// exp(-alpha d / cos theta), the path being longer the more oblique the bin.
Eigen::VectorXd slabPass(double alphaD, int bins);

// An interface between media of real indices n1 (above) and n2 (below), with Fresnel's
// intensity coefficients of unpolarised light per bin and Snell's law from bin to bin (total
// internal reflection included); a rough side scatters its haze shares by its ADF.
// How an interface's reflectance is calibrated: c12 · R for light from above and c21 · R
// from below (c12 and c21 themselves when direct), the reflectance from below then raised by
// `backScattered` (to at most 1); total internal reflection stays whole.
struct BinCalibration {
    double c12 = 1, c21 = 1;
    bool direct = false;
    double backScattered = 1;
};

BinInterface makeInterface(double n1, double n2, int bins, const RoughSide* above = nullptr,
                           const RoughSide* below = nullptr,
                           const BinCalibration& calibration = {});

// What the stack does with scattered light: `interfaces` from the top (between the top
// medium and the first layer) to the bottom (L + 1 for L layers), `pass[j]` the single-pass
// transmission of each bin through layer j, `incident` the light coming down in the top
// medium, `sourceUp[j]` and `sourceDown[j]` light made at interface j going up (into the
// layer above) and down (into the layer below).
struct BinSolution {
    Eigen::VectorXd reflected;             // leaving up into the top medium
    Eigen::VectorXd transmitted;           // leaving down into the bottom medium
    std::vector<double> absorbed;          // per layer
    std::vector<Eigen::VectorXd> down, up; // per layer: entering at its top, at its bottom
};

BinSolution solveBins(const std::vector<BinInterface>& interfaces,
                      const std::vector<Eigen::VectorXd>& pass, const Eigen::VectorXd& incident,
                      const std::vector<Eigen::VectorXd>& sourceUp,
                      const std::vector<Eigen::VectorXd>& sourceDown);

} // namespace lumetrix::kernel
