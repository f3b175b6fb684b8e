#include "kernel/angle_bins.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumetrix::kernel {
namespace {

// Fresnel's reflectance of unpolarised light from index n1 at angle theta1 into n2; 1 beyond
// the critical angle.
double fresnelR(double n1, double n2, double theta1) {
    const double sine2 = n1 * std::sin(theta1) / n2;
    if (sine2 >= 1)
        return 1;
    const double c1 = std::cos(theta1), c2 = std::sqrt(1 - sine2 * sine2);
    const double rs = (n1 * c1 - n2 * c2) / (n1 * c1 + n2 * c2);
    const double rp = (n2 * c1 - n1 * c2) / (n2 * c1 + n1 * c2);
    return (rs * rs + rp * rp) / 2;
}

// The bin that Snell's law sends bin i into; -1 when it is totally reflected.
int refractedBin(double n1, double n2, int i, int bins) {
    const double sine2 = n1 * std::sin(binAngle(i, bins)) / n2;
    if (sine2 >= 1)
        return -1;
    const double step = std::numbers::pi / 2 / bins;
    return std::min(bins - 1, static_cast<int>(std::asin(sine2) / step));
}

// One side's reflection and transmission matrices.
void fillSide(double n1, double n2, int bins, const RoughSide* rough, double factor, bool direct,
              double raise, Eigen::MatrixXd& reflect, Eigen::MatrixXd& transmit) {
    reflect = Eigen::MatrixXd::Zero(bins, bins);
    transmit = Eigen::MatrixXd::Zero(bins, bins);
    for (int i = 0; i < bins; ++i) {
        const auto k = static_cast<std::size_t>(i);
        double R = fresnelR(n1, n2, binAngle(i, bins));
        if (R < 1) // calibrated, except where the light is totally reflected
            R = std::min(1.0, (direct ? factor : factor * R) * raise);
        const double T = 1 - R;
        const double hR = rough ? rough->hazeR[k] : 0, hT = rough ? rough->hazeT[k] : 0;
        reflect(i, i) += R * (1 - hR);
        const int t = refractedBin(n1, n2, i, bins);
        if (t >= 0)
            transmit(t, i) += T * (1 - hT);
        if (!rough)
            continue;
        for (int o = 0; o < bins; ++o) {
            reflect(o, i) += R * hR * rough->adfR[static_cast<std::size_t>(o)];
            transmit(o, i) += T * hT * rough->adfT[static_cast<std::size_t>(o)];
        }
    }
}

} // namespace

double binAngle(int i, int bins) {
    return (i + 0.5) * std::numbers::pi / 2 / bins;
}

Eigen::VectorXd slabPass(double alphaD, int bins) {
    Eigen::VectorXd pass(bins);
    for (int i = 0; i < bins; ++i)
        pass(i) = std::exp(-alphaD / std::cos(binAngle(i, bins)));
    return pass;
}

BinInterface makeInterface(double n1, double n2, int bins, const RoughSide* above,
                           const RoughSide* below, const BinCalibration& c) {
    BinInterface face;
    fillSide(n1, n2, bins, above, c.c12, c.direct, 1, face.reflectDown, face.transmitDown);
    fillSide(n2, n1, bins, below, c.c21, c.direct, c.backScattered, face.reflectUp,
             face.transmitUp);
    return face;
}

BinSolution solveBins(const std::vector<BinInterface>& interfaces,
                      const std::vector<Eigen::VectorXd>& pass, const Eigen::VectorXd& incident,
                      const std::vector<Eigen::VectorXd>& sourceUp,
                      const std::vector<Eigen::VectorXd>& sourceDown) {
    const std::size_t last = interfaces.size() - 1; // also the number of layers
    const auto bins = incident.size();
    const Eigen::MatrixXd identity = Eigen::MatrixXd::Identity(bins, bins);
    // From the bottom up: for the light X coming down onto interface j, the light going up
    // above it is U_j = lookDown[j] X + fromBelow[j], and the light going down below it is
    // D_{j+1} = into[j] X + intoFromBelow[j].
    std::vector<Eigen::MatrixXd> lookDown(last + 1), into(last + 1);
    std::vector<Eigen::VectorXd> fromBelow(last + 1), intoFromBelow(last + 1);
    lookDown[last] = interfaces[last].reflectDown;
    fromBelow[last] = sourceUp[last];
    into[last] = interfaces[last].transmitDown;
    intoFromBelow[last] = sourceDown[last];
    for (std::size_t j = last; j-- > 0;) {
        const BinInterface& face = interfaces[j];
        const auto P = pass[j].asDiagonal();                  // layer j + 1, below the interface
        const Eigen::MatrixXd back = P * lookDown[j + 1] * P; // down at its top -> up at its top
        const Eigen::MatrixXd bounce = (identity - face.reflectUp * back).inverse();
        into[j] = bounce * face.transmitDown;
        intoFromBelow[j] = bounce * (face.reflectUp * (P * fromBelow[j + 1]) + sourceDown[j]);
        lookDown[j] = face.reflectDown + face.transmitUp * back * into[j];
        fromBelow[j] =
            face.transmitUp * (back * intoFromBelow[j] + P * fromBelow[j + 1]) + sourceUp[j];
    }
    BinSolution out;
    Eigen::VectorXd arriving = incident; // coming down onto interface j
    out.reflected = lookDown[0] * arriving + fromBelow[0];
    for (std::size_t j = 0; j < last; ++j) {
        const Eigen::VectorXd down = into[j] * arriving + intoFromBelow[j];
        const Eigen::VectorXd atBottom = pass[j].cwiseProduct(down);
        const Eigen::VectorXd up = lookDown[j + 1] * atBottom + fromBelow[j + 1];
        out.down.push_back(down);
        out.up.push_back(up);
        const Eigen::VectorXd lost = Eigen::VectorXd::Ones(bins) - pass[j];
        out.absorbed.push_back(down.dot(lost) + up.dot(lost));
        arriving = atBottom;
    }
    out.transmitted = into[last] * arriving + intoFromBelow[last];
    return out;
}

} // namespace lumetrix::kernel
