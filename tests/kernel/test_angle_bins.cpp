// Scattered light in angle bins: interfaces conserve each bin's power, the adding of layers
// matches the thick-slab formula, energy balances with sources, and an ideal randomising
// front over a mirror reaches the 4n^2 absorption enhancement limit.
#include "kernel/angle_bins.h"
#include "kernel/scattering.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumetrix::kernel;
using Eigen::VectorXd;

namespace {

VectorXd passOf(double alphaD, int bins) { // single pass through a layer of alpha * d
    VectorXd pass(bins);
    for (int i = 0; i < bins; ++i)
        pass(i) = std::exp(-alphaD / std::cos(binAngle(i, bins)));
    return pass;
}

RoughSide lambertianSide(double haze, int bins) {
    const auto shares = adfShares(AdfModel::Lambertian, {1, 1}, bins);
    return {std::vector<double>(static_cast<std::size_t>(bins), haze),
            std::vector<double>(static_cast<std::size_t>(bins), haze), shares, shares};
}

} // namespace

TEST(AngleBins, InterfacesKeepEveryBinsPower) {
    const int bins = 45;
    const RoughSide rough = lambertianSide(0.4, bins);
    for (const auto& [n1, n2] : {std::pair{1.0, 3.5}, {3.5, 1.0}, {1.5, 1.5}})
        for (const bool isRough : {false, true}) {
            const BinInterface face =
                makeInterface(n1, n2, bins, isRough ? &rough : nullptr, isRough ? &rough : nullptr);
            const VectorXd down = (face.reflectDown + face.transmitDown).colwise().sum();
            const VectorXd up = (face.reflectUp + face.transmitUp).colwise().sum();
            for (int i = 0; i < bins; ++i) {
                EXPECT_NEAR(down(i), 1, 1e-12) << n1 << " " << n2 << " " << i;
                EXPECT_NEAR(up(i), 1, 1e-12) << n1 << " " << n2 << " " << i;
            }
        }
    // From glass into air beyond 41.8 degrees everything is reflected.
    const BinInterface face = makeInterface(1.5, 1.0, bins, nullptr, nullptr);
    EXPECT_EQ(face.reflectDown(30, 30), 1); // 61 degrees
    EXPECT_LT(face.reflectDown(20, 20), 1); // 41 degrees
}

TEST(AngleBins, DiffuseLightOnGlassReflectsItsHemisphericalShare) {
    // Lambertian light on an air/glass (n = 1.5) interface: the hemispherical reflectance
    // 2 ∫ R(θ) sin θ cos θ dθ is 0.0918 for this index (tabulated in radiometry texts).
    const int bins = 90;
    const auto lambertian = adfShares(AdfModel::Lambertian, {1, 1}, bins);
    const Eigen::VectorXd incident =
        Eigen::Map<const VectorXd>(lambertian.data(), static_cast<Eigen::Index>(bins));
    const VectorXd none = VectorXd::Zero(bins);
    const BinSolution s = solveBins({makeInterface(1.0, 1.5, bins)}, {}, incident, {none}, {none});
    EXPECT_NEAR(s.reflected.sum(), 0.0918, 1e-3);
    EXPECT_NEAR(s.reflected.sum() + s.transmitted.sum(), 1, 1e-12);
}

TEST(AngleBins, ThickSlabMatchesMultipleReflections) {
    // Light in bin 0 on a glass slab in air; theta = 0.5 degrees stays in bin 0 throughout.
    const int bins = 90;
    const double n = 1.5, alphaD = 0.3, theta = binAngle(0, bins);
    const std::vector<BinInterface> faces{makeInterface(1.0, n, bins), makeInterface(n, 1.0, bins)};
    VectorXd incident = VectorXd::Zero(bins);
    incident(0) = 1;
    const VectorXd none = VectorXd::Zero(bins);
    const BinSolution s =
        solveBins(faces, {passOf(alphaD, bins)}, incident, {none, none}, {none, none});
    const double r = faces[0].reflectDown(0, 0); // Fresnel at 0.5 degrees (checked below)
    const double thetaIn = std::asin(std::sin(theta) / n);
    const double a = std::exp(-alphaD / std::cos(thetaIn));
    const double expectR = r + (1 - r) * (1 - r) * r * a * a / (1 - r * r * a * a);
    EXPECT_NEAR(r, 0.04, 1e-5);
    EXPECT_NEAR(s.reflected.sum(), expectR, 1e-4); // the slab's bin holds 0.33 degrees, not 0.5
    EXPECT_NEAR(s.transmitted.sum(), (1 - r) * (1 - r) * a / (1 - r * r * a * a), 1e-4);
    EXPECT_NEAR(s.reflected.sum() + s.transmitted.sum() + s.absorbed[0], 1, 1e-12);
}

TEST(AngleBins, EnergyBalancesWithSourcesAndRoughInterfaces) {
    const int bins = 30;
    const RoughSide rough = lambertianSide(0.6, bins);
    const std::vector<BinInterface> faces{
        makeInterface(1.0, 2.0, bins, &rough, &rough), makeInterface(2.0, 3.5, bins),
        makeInterface(3.5, 1.5, bins, nullptr, &rough), makeInterface(1.5, 1.0, bins)};
    const std::vector<VectorXd> pass{passOf(0.05, bins), passOf(0.4, bins), passOf(0.0, bins)};
    std::vector<VectorXd> up(4, VectorXd::Zero(bins)), down(4, VectorXd::Zero(bins));
    up[1] = VectorXd::Constant(bins, 0.01);
    down[2] = VectorXd::LinSpaced(bins, 0, 0.02);
    VectorXd incident = VectorXd::Zero(bins);
    incident(0) = 1;
    incident(5) = 0.5;
    const BinSolution s = solveBins(faces, pass, incident, up, down);
    double out = s.reflected.sum() + s.transmitted.sum();
    for (double a : s.absorbed)
        out += a;
    EXPECT_NEAR(out, incident.sum() + up[1].sum() + down[2].sum(), 1e-9);
    EXPECT_NEAR(s.absorbed[2], 0, 1e-15); // the lossless layer
    EXPECT_GT(s.absorbed[1], s.absorbed[0]);
}

TEST(AngleBins, IdealRandomisingFrontOverAMirrorReachesTheLimit) {
    // A weakly absorbing slab (alpha d = 1e-4) of n = 3.5: the front lets all light in,
    // spread Lambertian; from inside it lets out what lies in the escape cone and spreads the
    // rest again; the back mirror reflects everything. The absorption enhancement limit is
    // 4 n^2 = 49, so A -> 4 n^2 alpha d / (1 + 4 n^2 alpha d) = 0.004876.
    const int bins = 180;
    const double n = 3.5, alphaD = 1e-4;
    const auto lambertian = adfShares(AdfModel::Lambertian, {1, 1}, bins);
    BinInterface front;
    front.reflectDown = Eigen::MatrixXd::Zero(bins, bins);
    front.transmitDown = Eigen::MatrixXd::Zero(bins, bins);
    front.reflectUp = Eigen::MatrixXd::Zero(bins, bins);
    front.transmitUp = Eigen::MatrixXd::Zero(bins, bins);
    for (int i = 0; i < bins; ++i) {
        const bool escapes = n * std::sin(binAngle(i, bins)) < 1;
        if (escapes)
            front.transmitUp(0, i) = 1; // out into the air
        for (int o = 0; o < bins; ++o) {
            front.transmitDown(o, i) = lambertian[static_cast<std::size_t>(o)];
            if (!escapes)
                front.reflectUp(o, i) = lambertian[static_cast<std::size_t>(o)];
        }
    }
    BinInterface mirror = makeInterface(n, n, bins);
    mirror.reflectDown = Eigen::MatrixXd::Identity(bins, bins);
    mirror.transmitDown.setZero();
    VectorXd incident = VectorXd::Zero(bins);
    incident(0) = 1;
    const VectorXd none = VectorXd::Zero(bins);
    const BinSolution s =
        solveBins({front, mirror}, {passOf(alphaD, bins)}, incident, {none, none}, {none, none});
    const double enhancement = s.absorbed[0] / alphaD;
    EXPECT_GE(enhancement, 0.9 * 4 * n * n);
    EXPECT_LE(enhancement, 4 * n * n * 1.02);
    EXPECT_NEAR(s.absorbed[0] + s.reflected.sum(), 1, 1e-9);
}
