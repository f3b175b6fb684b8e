#pragma once

#include <Eigen/Dense>
#include <Eigen/SparseCore>
#include <complex>
#include <functional>
#include <vector>

namespace lumetrix::kernel {

// Scattered light travels in angle bins: in every layer, `bins` directions per half space in
// equal steps of the polar angle (bin i holds i .. i + 1 steps of 90 / bins degrees), each
// carrying a power. Within a bin the light is taken as isotropic, so averages over a bin are
// taken over its etendue. Refraction keeps the invariant u = (n' sin theta)^2 (n' the real
// part of the index), and a bin's etendue is proportional to its width in u on either side
// of an interface. Interfaces map the bins onto each other, layers attenuate each bin along
// its oblique paths, and the light of every layer is solved at once (solveBins).

// One interface over the bins of both sides, those above first: light coming down onto it
// falls into the bins above, light coming up into those below; it leaves up into the bins
// above and down into those below. Every matrix gives shares of each incoming bin's power
// (column = incoming bin). The flat interface (with the light of a specular ADF2) maps each
// bin only onto the bins its range of u refracts into, so it is sparse and diagonal in
// reflection. The redistributed scattered light, and the light an absorbing side takes
// beyond the other side's directions (all into its most grazing bin), are of low rank,
// spread * gather^T. The solution works on these parts and never forms the whole matrix.
struct BinInterface {
    Eigen::VectorXd reflectDown, reflectUp;               // diagonal
    Eigen::SparseMatrix<double> transmitDown, transmitUp; // (bin below, bin above) and back
    Eigen::MatrixXd spread, gather;                       // 2 bins x rank
    // The share of each bin's light that the interface scatters, of the light coming down
    // (bins above) and coming up (bins below). By reciprocity, light scattered out of the
    // specular beams goes into a bin as readily as that bin's light is scattered.
    Eigen::VectorXd scatteredAbove, scatteredBelow;
    // The u at the grazing edge of the bins above and below: (n')^2 of each side.
    double topAbove = 1, topBelow = 1;

    // The whole interface as one matrix over the bins of both sides (2 bins square).
    Eigen::MatrixXd matrix() const;
};

// A rough side of an interface: the haze of the incoming light (the reflected and
// transmitted shares taken from the flat interface's light) against its u, and where the
// scattered light goes: ADF2 shares over the outgoing bins (each summing to 1), or, for a
// specular ADF, the flat interface's own directions.
struct RoughSide {
    std::function<double(double)> hazeR, hazeT;
    std::vector<double> adfR, adfT;
    bool specularR = false, specularT = false;
    bool lambertian = false; // ADF2 Lambertian (cos θ) in reflection and transmission
};

// The polar angle (radians) of the middle of bin i.
double binAngle(int i, int bins);

// What each bin keeps of its light after one pass through a layer of absorption alpha * d:
// exp(-alpha d / cos theta) averaged over the bin's etendue (for a wide bin the centre's
// path would be far from the mean path of its light).
Eigen::VectorXd slabPass(double alphaD, int bins);

// How an interface's reflectance is calibrated: c12 · R for light from above and c21 · R
// from below (c12 and c21 themselves when direct), the reflectance from below then raised by
// `backScattered` (to at most 1); total internal reflection stays whole.
struct BinCalibration {
    double c12 = 1, c21 = 1;
    bool direct = false;
    double backScattered = 1;
};

// An interface between media of complex indices n1 (above) and n2 (below). Fresnel's
// coefficients of unpolarised light (complex indices) are integrated over each bin's range
// of u, and each part of that range goes to the bin it refracts into. Power entering an
// absorbing medium beyond the directions Snell's law gives there goes into its most grazing
// bin. A rough side scatters its haze shares; the scattered light of both sides is
// redistributed reciprocally (see makeInterface in angle_bins.cpp).
BinInterface makeInterface(std::complex<double> n1, std::complex<double> n2, int bins,
                           const RoughSide* above = nullptr, const RoughSide* below = nullptr,
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
