// Scattered light against closed forms: haze by scalar scattering theory, the angular
// distribution models, and the light in angle bins: interfaces conserve each bin's power, the
// adding of layers matches the thick-slab formula, energy balances with sources, and an ideal
// randomising front over a mirror reaches the 4n^2 absorption enhancement limit.
#include "core/listing.h"
#include "kernel/angle_bins.h"
#include "kernel/scattering.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace lumetrix::kernel;
using Eigen::VectorXd;

namespace {

constexpr double kPi = std::numbers::pi;

VectorXd vectorOf(const std::vector<double>& values) {
    return Eigen::Map<const VectorXd>(values.data(), static_cast<Eigen::Index>(values.size()));
}

// All the light in one bin.
VectorXd inBin(int bin, int bins) {
    VectorXd light = VectorXd::Zero(bins);
    light(bin) = 1;
    return light;
}

// The bins with light falling on the top only, no sources inside.
BinSolution solveLit(const std::vector<BinInterface>& faces, const std::vector<VectorXd>& pass,
                     const VectorXd& incident) {
    const std::vector<VectorXd> none(faces.size(), VectorXd::Zero(incident.size()));
    return solveBins(faces, pass, incident, none, none);
}

RoughSide lambertianSide(double haze, int bins) {
    const auto shares = adfShares(AdfModel::Lambertian, {1, 1}, bins);
    return {std::vector<double>(static_cast<std::size_t>(bins), haze),
            std::vector<double>(static_cast<std::size_t>(bins), haze), shares, shares};
}

} // namespace

TEST(Haze, ScalarTheoryAtAnInterface) {
    // sigma 40 nm at 600 nm: 4 pi sigma / lambda = 0.837758.
    // H_R, glass side n1 = 1.5: x = 1.256637, 1 - exp(-x^2) = 0.793847.
    EXPECT_NEAR(hazeR(600, 40, 1, 1.5, 0), 0.793847, 1e-6);
    // H_T into air: x = 0.837758 * |1.5 - 1| = 0.418879; gamma 2: 0.160928, gamma 3: 0.070860.
    EXPECT_NEAR(hazeT(600, 40, 1, 1.5, 1.0, 0, 2), 0.160928, 1e-6);
    EXPECT_NEAR(hazeT(600, 40, 1, 1.5, 1.0, 0, 3), 0.070860, 1e-6);
    // A calibration factor scales the roughness; a flat interface scatters nothing.
    EXPECT_NEAR(hazeR(600, 20, 2, 1.5, 0), hazeR(600, 40, 1, 1.5, 0), 1e-15);
    EXPECT_EQ(hazeR(600, 0, 1, 1.5, 0), 0);
    // At 60 degrees in glass the light is totally reflected: nothing transmitted to scatter.
    EXPECT_EQ(hazeT(600, 40, 1, 1.5, 1.0, 60 * kPi / 180, 2), 0);
    // Oblique: cos theta1 = 0.5 at 60 degrees from air into glass; theta2 by Snell.
    const double cos2 = std::sqrt(1 - std::pow(std::sin(kPi / 3) / 1.5, 2));
    const double x = 4 * kPi * 40 * std::abs(0.5 - 1.5 * cos2) / 600;
    EXPECT_NEAR(hazeT(600, 40, 1, 1.0, 1.5, kPi / 3, 2), 1 - std::exp(-x * x), 1e-12);
}

TEST(Adf, EveryModelSharesOutAllThePower) {
    for (int m = 0; m <= static_cast<int>(AdfModel::Uniform); ++m)
        for (const int count : {1, 9, 45, 90})
            for (const AdfParameters p : {AdfParameters{1, 1}, AdfParameters{4, 0.3}}) {
                double sum = 0;
                for (double share : adfShares(static_cast<AdfModel>(m), p, count, 2)) {
                    EXPECT_GE(share, 0);
                    sum += share;
                }
                EXPECT_NEAR(sum, 1, 1e-12) << m << " " << count;
            }
}

TEST(Adf, BinSharesMatchTheClosedForms) {
    const int count = 18; // 5 degree bins
    const double step = kPi / 2 / count;
    const auto lambertian = adfShares(AdfModel::Lambertian, {1, 1}, count);
    const auto uniform = adfShares(AdfModel::Uniform, {1, 1}, count);
    const auto sphere = adfShares(AdfModel::Ellipsoid, {1, 1}, count); // b:a = 1 is a sphere
    const auto perAngle = adfShares(AdfModel::LambertianPerAngle, {1, 1}, count);
    const auto external = adfShares(std::vector<double>{0, 30, 90}, {2, 2, 2}, count);
    for (int b = 0; b < count; ++b) {
        const double t1 = b * step, t2 = (b + 1) * step;
        const auto i = static_cast<std::size_t>(b);
        // cos theta per solid angle: (sin^2 t2 - sin^2 t1) of a total 1.
        EXPECT_NEAR(lambertian[i], std::pow(std::sin(t2), 2) - std::pow(std::sin(t1), 2), 1e-10);
        // The same in every direction: (cos t1 - cos t2) of a total 1.
        EXPECT_NEAR(uniform[i], std::cos(t1) - std::cos(t2), 1e-10);
        EXPECT_NEAR(sphere[i], uniform[i], 1e-12);
        EXPECT_NEAR(external[i], uniform[i], 1e-10);
        // cos theta per unit angle: (sin t2 - sin t1).
        EXPECT_NEAR(perAngle[i], std::sin(t2) - std::sin(t1), 1e-10);
    }
    // A flatter ellipse (b < a) sends more light near the normal than the sphere.
    EXPECT_GT(adfShares(AdfModel::Ellipsoid, {1, 0.3}, count)[0], uniform[0]);
    EXPECT_EQ(adfShares(AdfModel::Specular, {1, 1}, count, 7)[7], 1);
}

TEST(Adf, EveryListedModelIsKnown) {
    for (const char* list : {"/ADF1.dat", "/ADF2.dat"}) {
        const auto names = lumetrix::readListingFile(std::string(LUMETRIX_DATA_DIR) + list);
        ASSERT_TRUE(names);
        for (const std::string& name : names.value()) {
            AdfModel model{};
            EXPECT_TRUE(adfModelByName(name, model)) << list << ": " << name;
        }
        EXPECT_GE(names.value().size(), 7u) << list;
    }
    AdfModel model{};
    EXPECT_FALSE(adfModelByName("Lambertian", model));
}

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
    const BinSolution s = solveLit({makeInterface(1.0, 1.5, bins)}, {},
                                   vectorOf(adfShares(AdfModel::Lambertian, {1, 1}, bins)));
    EXPECT_NEAR(s.reflected.sum(), 0.0918, 1e-3);
    EXPECT_NEAR(s.reflected.sum() + s.transmitted.sum(), 1, 1e-12);
}

TEST(AngleBins, ThickSlabMatchesMultipleReflections) {
    // Light in bin 0 on a glass slab in air; theta = 0.5 degrees stays in bin 0 throughout.
    const int bins = 90;
    const double n = 1.5, alphaD = 0.3, theta = binAngle(0, bins);
    const std::vector<BinInterface> faces{makeInterface(1.0, n, bins), makeInterface(n, 1.0, bins)};
    const BinSolution s = solveLit(faces, {slabPass(alphaD, bins)}, inBin(0, bins));
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
    const std::vector<VectorXd> pass{slabPass(0.05, bins), slabPass(0.4, bins),
                                     slabPass(0.0, bins)};
    std::vector<VectorXd> up(4, VectorXd::Zero(bins)), down(4, VectorXd::Zero(bins));
    up[1] = VectorXd::Constant(bins, 0.01);
    down[2] = VectorXd::LinSpaced(bins, 0, 0.02);
    const VectorXd incident = inBin(0, bins) + 0.5 * inBin(5, bins);
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
    const Eigen::MatrixXd spread =
        vectorOf(adfShares(AdfModel::Lambertian, {1, 1}, bins)).replicate(1, bins);
    BinInterface front{Eigen::MatrixXd::Zero(bins, bins), spread, spread,
                       Eigen::MatrixXd::Zero(bins, bins)};
    for (int i = 0; i < bins; ++i)
        if (n * std::sin(binAngle(i, bins)) < 1) { // escapes
            front.transmitUp(0, i) = 1;            // out into the air
            front.reflectUp.col(i).setZero();
        }
    BinInterface mirror = makeInterface(n, n, bins);
    mirror.reflectDown = Eigen::MatrixXd::Identity(bins, bins);
    mirror.transmitDown.setZero();
    const BinSolution s = solveLit({front, mirror}, {slabPass(alphaD, bins)}, inBin(0, bins));
    const double enhancement = s.absorbed[0] / alphaD;
    EXPECT_GE(enhancement, 0.9 * 4 * n * n);
    EXPECT_LE(enhancement, 4 * n * n * 1.02);
    EXPECT_NEAR(s.absorbed[0] + s.reflected.sum(), 1, 1e-9);
}
