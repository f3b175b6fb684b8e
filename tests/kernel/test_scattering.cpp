// Scattered light against closed forms and independent numbers: haze by scalar scattering
// theory, the angular distribution models, and the light in angle bins: interfaces keep each
// bin's power and obey reciprocity, bins integrate complex Fresnel coefficients, the adding
// of layers matches the thick-slab formula, energy balances with sources, a randomising front
// over a mirror reaches the ergodic limit and no weaker scatterer passes it, and a lossless
// structure returns isotropic light isotropic.
//
// Reference numbers come from tmm (shared/reference): every one of them is printed by
// `PYTHONPATH=../shared/reference /usr/bin/python3 tests/kernel/scattering_references.py`.
#include "kernel/angle_bins.h"
#include "kernel/scattering.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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

using Haze = std::function<double(double)>;

Haze constant(double haze) {
    return [haze](double) { return haze; };
}

// Both hazes of light crossing from n1 towards n2 by the scalar formula (cR = cT = 1,
// gamma 2) at 1000 nm.
std::pair<Haze, Haze> scalarHaze(double sigma, double n1, double n2) {
    return {[=](double u) { return hazeRAtU(1000, sigma, 1, n1, u); },
            [=](double u) { return hazeTAtU(1000, sigma, 1, n1, n2, u, 2); }};
}

// A rough side with the ADF2 `model` (Lambertian power 2, ellipse ratio 0.5), or the plain
// Lambertian (cos theta) that is redistributed in closed form.
RoughSide sideOf(Haze r, Haze t, AdfModel model, int bins, bool plainLambertian = false) {
    const auto shares =
        adfShares(model, plainLambertian ? AdfParameters{1, 1} : AdfParameters{2, 0.5}, bins);
    const bool specular = model == AdfModel::Specular;
    return {std::move(r), std::move(t), shares, shares, specular, specular, plainLambertian};
}

RoughSide lambertianSide(double haze, int bins) {
    return sideOf(constant(haze), constant(haze), AdfModel::Lambertian, bins, true);
}

// The etendue of bin i in a medium of real index n: n^2 (sin^2 of its upper edge - of its
// lower edge), up to a common factor.
double etendue(double n, int i, int bins) {
    const double step = kPi / 2 / bins;
    return n * n * (std::pow(std::sin((i + 1) * step), 2) - std::pow(std::sin(i * step), 2));
}

// The absorption of a slab of index n = 3.5 and alpha d = 1e-4 between `front` (from air) and
// a perfect mirror, for light falling into bin 0.
double slabOnMirror(const BinInterface& front, int bins) {
    BinInterface mirror = makeInterface(3.5, 3.5, bins);
    mirror.reflectDown.setOnes();
    mirror.transmitDown.setZero();
    const BinSolution s = solveLit({front, mirror}, {slabPass(1e-4, bins)}, inBin(0, bins));
    EXPECT_NEAR(s.absorbed[0] + s.reflected.sum(), 1, 1e-9);
    return s.absorbed[0];
}

} // namespace

TEST(Haze, ScalarTheoryAtAnInterface) {
    // sigma 40 nm at 600 nm: 4 pi sigma / lambda = 0.837758.
    // H_R, glass side n1 = 1.5: x = 1.256637, 1 - exp(-x^2) = 0.793847.
    EXPECT_NEAR(hazeR(600, 40, 1, 1.5, 0), 0.793847, 1e-6);
    // H_T into air: x = 0.837758 * |1.5 - 1| = 0.418879; gamma 2: 0.160928, gamma 3: 0.070860,
    // gamma 2.5: 0.107348.
    EXPECT_NEAR(hazeT(600, 40, 1, 1.5, 1.0, 0, 2), 0.160928, 1e-6);
    EXPECT_NEAR(hazeT(600, 40, 1, 1.5, 1.0, 0, 3), 0.070860, 1e-6);
    EXPECT_NEAR(hazeT(600, 40, 1, 1.5, 1.0, 0, 2.5), 0.107348, 1e-6);
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

TEST(Haze, CrossingEitherWayScattersTheSameShare) {
    // (The same haze both ways through, which reciprocity asks, is checked with the
    // interfaces.) Haze data at normal incidence come back as they are; H = 1 stays 1.
    EXPECT_DOUBLE_EQ(dataHazeTAtU(0.3, 1.0, 2.5, 0, 3), 0.3);
    EXPECT_DOUBLE_EQ(dataHazeRAtU(0.3, 2.5, 0), 0.3);
    EXPECT_EQ(dataHazeTAtU(1, 1.0, 2.5, 0.7, 3), 1);
    // At 60 degrees from air into n = 2.5: the exponent -ln 0.7 scaled by
    // (|cos 60 - sqrt(2.5^2 - 0.75)| / 1.5)^3 = 1.861496; 1 - 0.7^1.861496 = 0.485186.
    EXPECT_NEAR(dataHazeTAtU(0.3, 1.0, 2.5, 0.75, 3), 0.485186, 1e-6);
    // Reflection scales by cos^2 of its own side: 1 - 0.7^0.25 = 0.085309.
    EXPECT_NEAR(dataHazeRAtU(0.3, 1.0, 0.75), 0.085309, 1e-6);
}

TEST(AngleBins, InterfacesAreReciprocalAndKeepEveryBinsPower) {
    // S(o <- i) E_i = S(i <- o) E_o for every pair of bins, and every column sums to 1: flat
    // (model -1), and rough with a haze that changes with the angle under every ADF2 model
    // (haze data from below for model 1).
    const int bins = 12;
    for (const auto& [n1, n2] :
         {std::pair{1.0, 1.5}, {1.5, 1.0}, {1.0, 3.5}, {3.5, 1.5}, {1.5, 3.5}, {1.5, 1.5}})
        for (int model = -1; model <= static_cast<int>(AdfModel::Uniform) + 1; ++model) {
            const bool plain = model > static_cast<int>(AdfModel::Uniform); // closed form
            const auto adf =
                plain ? AdfModel::Lambertian : static_cast<AdfModel>(std::max(0, model));
            auto [rDown, tDown] = scalarHaze(80, n1, n2);
            auto [rUp, tUp] = scalarHaze(80, n2, n1);
            if (model == 1) { // haze data, 0.4 at normal incidence
                rDown = [n1](double u) { return dataHazeRAtU(0.4, n1, u); };
                tDown = [n1, n2](double u) { return dataHazeTAtU(0.4, n1, n2, u, 3); };
                rUp = [n2](double u) { return dataHazeRAtU(0.4, n2, u); };
                tUp = [n1, n2](double u) { return dataHazeTAtU(0.4, n2, n1, u, 3); };
            }
            const RoughSide above = sideOf(rDown, tDown, adf, bins, plain),
                            below = sideOf(rUp, tUp, adf, bins, plain);
            const bool rough = model >= 0;
            const BinInterface f =
                makeInterface(n1, n2, bins, rough ? &above : nullptr, rough ? &below : nullptr);
            // The blocks of the whole interface (above first; column = incoming bin).
            const Eigen::MatrixXd m = f.matrix();
            const auto reflectDown = m.topLeftCorner(bins, bins),
                       transmitDown = m.bottomLeftCorner(bins, bins),
                       reflectUp = m.bottomRightCorner(bins, bins),
                       transmitUp = m.topRightCorner(bins, bins);
            for (int i = 0; i < bins; ++i) {
                EXPECT_NEAR(m.col(i).sum(), 1, 1e-12);
                EXPECT_NEAR(m.col(bins + i).sum(), 1, 1e-12);
                for (int o = 0; o < bins; ++o) {
                    const double e1i = etendue(n1, i, bins), e1o = etendue(n1, o, bins);
                    const double e2i = etendue(n2, i, bins), e2o = etendue(n2, o, bins);
                    EXPECT_NEAR(reflectDown(o, i) * e1i, reflectDown(i, o) * e1o, 1e-12);
                    EXPECT_NEAR(reflectUp(o, i) * e2i, reflectUp(i, o) * e2o, 1e-12);
                    EXPECT_NEAR(transmitDown(o, i) * e1i, transmitUp(i, o) * e2o, 1e-12)
                        << n1 << " " << n2 << " model " << model << " " << o << " <- " << i;
                }
            }
        }
}

TEST(AngleBins, LosslessStructureReturnsIsotropicLightIsotropic) {
    // Air over a rough interface, lossless layers of n = 2 and 1.5 and a perfect mirror: all
    // light comes back, and by reciprocity a Lambertian input comes back Lambertian.
    // Lambertian power 2, Gaussian, tilted ellipsoid, and the plain Lambertian (closed form).
    for (const auto& [model, plain] : {std::pair{AdfModel::Lambertian, false},
                                       {AdfModel::Gaussian, false},
                                       {AdfModel::EllipsoidTilted, false},
                                       {AdfModel::Lambertian, true}})
        for (const int bins : {3, 20}) {
            const auto [rDown, tDown] = scalarHaze(100, 1.0, 2.0);
            const auto [rUp, tUp] = scalarHaze(100, 2.0, 1.0);
            const RoughSide above = sideOf(rDown, tDown, model, bins, plain),
                            below = sideOf(rUp, tUp, model, bins, plain);
            BinInterface mirror = makeInterface(1.5, 1.5, bins);
            mirror.reflectDown.setOnes();
            mirror.transmitDown.setZero();
            const VectorXd lambertian = vectorOf(adfShares(AdfModel::Lambertian, {1, 1}, bins));
            const BinSolution s =
                solveLit({makeInterface(1.0, 2.0, bins, &above, &below),
                          makeInterface(2.0, 1.5, bins), mirror},
                         {VectorXd::Ones(bins), VectorXd::Ones(bins)}, lambertian);
            for (int i = 0; i < bins; ++i)
                EXPECT_NEAR(s.reflected(i), lambertian(i), 1e-6) << bins << " bins, bin " << i;
        }
}

TEST(AngleBins, DiffuseLightReflectsTheHemisphericalMeanOfComplexFresnel) {
    // Lambertian light from air: the integral of R(th) sin 2th of tmm's unpolarised Fresnel
    // reflectance (hemi(n), head of this file). A metal is no
    // mirror of total internal reflection.
    const struct {
        std::complex<double> n;
        double hemispherical;
    } cases[] = {
        {1.5, 0.09177796}, {3.5, 0.32420575}, {{0.2, 3}, 0.92268048}, {{0.07, 4}, 0.98258206}};
    for (const auto& c : cases)
        for (const int bins : {1, 4, 45}) {
            const BinSolution s = solveLit({makeInterface(1.0, c.n, bins)}, {},
                                           vectorOf(adfShares(AdfModel::Lambertian, {1, 1}, bins)));
            EXPECT_NEAR(s.reflected.sum(), c.hemispherical, 0.005 * c.hemispherical)
                << c.n << " " << bins;
            EXPECT_NEAR(s.reflected.sum() + s.transmitted.sum(), 1, 1e-12);
        }
}

TEST(AngleBins, EachBinAveragesFresnelOverItsRange) {
    // tmm's unpolarised R averaged over u across the bin (binR, head of this file).
    const struct {
        std::complex<double> n1, n2;
        int bins, bin;
        double mean;
    } cases[] = {
        {1.0, {0.2, 3}, 180, 60, 0.9229232008},  // 30.0 .. 30.5 degrees
        {1.0, {0.2, 3}, 180, 120, 0.9183749275}, // 60.0 .. 60.5
        {1.0, 1.5, 180, 60, 0.0415802666},       {1.0, 1.5, 180, 120, 0.0904271866},
        {1.5, 1.0, 45, 20, 0.46264867}, // 40 .. 42 in glass, across the critical angle 41.81
    };
    for (const auto& c : cases)
        EXPECT_NEAR(makeInterface(c.n1, c.n2, c.bins).reflectDown(c.bin), c.mean, 1e-6)
            << c.n2 << " bin " << c.bin;
    // From glass into air beyond 41.8 degrees everything is reflected.
    EXPECT_EQ(makeInterface(1.5, 1.0, 45).reflectDown(30), 1); // 60 .. 62 degrees
}

TEST(AngleBins, SlabPassAveragesTheAttenuationOverTheBin) {
    // The mean of exp(-alpha d / c) with weight 2c dc over the bin's range of c = cos theta
    // (slab, head of this file). Over the hemisphere
    // it is 2 E3(alpha d): the mean path of isotropic light is twice the thickness.
    const struct {
        double alphaD;
        int bins, bin;
        double mean;
    } cases[] = {{0.5, 1, 0, 0.4432087286},
                 {1e-4, 1, 0, 0.9998001013},
                 {0.5, 2, 1, 0.3288016821},
                 {2.0, 2, 0, 0.0986067675}};
    for (const auto& c : cases)
        EXPECT_NEAR(slabPass(c.alphaD, c.bins)(c.bin), c.mean, 1e-7) << c.alphaD << " " << c.bins;
}

TEST(AngleBins, RandomisingFrontReachesTheErgodicLimitAndNoWeakerOnePassesIt) {
    // Slab n = 3.5, alpha d = 1e-4, over a mirror, behind a rough front from air. The ergodic
    // limit A = T0 4n^2 alpha d / (<T> + 4n^2 alpha d) (Yablonovitch 1982): T0 the front's
    // transmittance for the incident bin 0 and <T> its hemispherical mean, both from tmm's
    // flat Fresnel air -> 3.5 (haze only redirects): <T> = 1 - hemi(3.5) = 1 - 0.32420575;
    // T0 = 1 - R averaged over u across bin 0 (T0 lines of scattering_references.py).
    const double n = 3.5, alphaD = 1e-4, mean = 1 - 0.32420575;
    const auto limit = [&](double t0) {
        return t0 * 4 * n * n * alphaD / (mean + 4 * n * n * alphaD);
    };
    const std::pair<int, double> binsT0[] = {
        {1, 0.67579435}, {2, 0.69095590}, {8, 0.69135668}, {45, 0.69135802}};
    for (const auto& [bins, t0] : binsT0) {
        const RoughSide full = lambertianSide(1, bins);
        EXPECT_NEAR(slabOnMirror(makeInterface(1.0, n, bins, &full, &full), bins), limit(t0),
                    0.15 * limit(t0))
            << bins << " bins";
        if (bins < 8)
            continue;
        std::vector<std::pair<RoughSide, RoughSide>> weaker;
        for (const double h : {0.05, 0.2, 0.5})
            weaker.emplace_back(lambertianSide(h, bins), lambertianSide(h, bins));
        for (const double sigma : {30.0, 60.0, 100.0})
            for (const AdfModel adf : {AdfModel::Lambertian, AdfModel::Gaussian}) {
                const auto [rDown, tDown] = scalarHaze(sigma, 1.0, n);
                const auto [rUp, tUp] = scalarHaze(sigma, n, 1.0);
                weaker.emplace_back(sideOf(rDown, tDown, adf, bins), sideOf(rUp, tUp, adf, bins));
            }
        for (const auto& [above, below] : weaker)
            EXPECT_LE(slabOnMirror(makeInterface(1.0, n, bins, &above, &below), bins),
                      1.1 * limit(t0))
                << bins << " bins";
    }
}

TEST(AngleBins, ThickSlabMatchesMultipleReflections) {
    // Light in bin 0 (within 1 degree of the normal) on a glass slab in air: there R is
    // ((1.5 - 1) / 2.5)^2 = 0.04 and the pass exp(-alpha d) to better than 1e-4, so the
    // incoherent multiple reflections of a thick slab hold.
    const int bins = 90;
    const double n = 1.5, alphaD = 0.3, r = 0.04, a = std::exp(-alphaD);
    const std::vector<BinInterface> faces{makeInterface(1.0, n, bins), makeInterface(n, 1.0, bins)};
    const BinSolution s = solveLit(faces, {slabPass(alphaD, bins)}, inBin(0, bins));
    EXPECT_NEAR(s.reflected.sum(), r + (1 - r) * (1 - r) * r * a * a / (1 - r * r * a * a), 1e-4);
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

TEST(AngleBins, LightBeyondTheDirectionsOfAnAbsorbingLayerIsKept) {
    // From n = 2 into an absorbing layer of n' = 1.5 (k = 0.05), light of u between 2.25 and
    // 4 has no direction of its own there and goes into its most grazing bin; from the
    // absorbing layer back into air the same beyond u > 1. Behind a rough front whose
    // scattered light fills those directions, every watt is reflected, transmitted or
    // absorbed, and the absorbing layer takes light in its most grazing bin.
    const int bins = 24;
    const RoughSide rough = lambertianSide(0.7, bins);
    const std::complex<double> metalish(1.5, 0.05);
    const std::vector<BinInterface> faces{makeInterface(1.0, 2.0, bins, &rough, &rough),
                                          makeInterface(2.0, metalish, bins),
                                          makeInterface(metalish, 1.0, bins)};
    const std::vector<VectorXd> pass{slabPass(0.01, bins), slabPass(0.3, bins)};
    std::vector<VectorXd> up(3, VectorXd::Zero(bins)), down(3, VectorXd::Zero(bins));
    down[0] = VectorXd::Constant(bins, 0.02); // scattered into the first layer at the front
    const BinSolution s = solveBins(faces, pass, inBin(0, bins), up, down);
    double out = s.reflected.sum() + s.transmitted.sum();
    for (double a : s.absorbed)
        out += a;
    EXPECT_NEAR(out, 1 + down[0].sum(), 1e-9);
    EXPECT_GT(s.down[1](bins - 1), s.down[1](bins - 2)); // the grazing bin gathers it
}
