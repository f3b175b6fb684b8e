// Haze by scalar scattering theory and the angular distribution models, against closed forms.
#include "kernel/scattering.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>

using namespace lumetrix::kernel;

namespace {
constexpr double kPi = std::numbers::pi;
}

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
    const auto specular = adfShares(AdfModel::Specular, {1, 1}, count, 7);
    EXPECT_EQ(specular[7], 1);
}

TEST(Adf, EveryListedModelIsKnown) {
    for (const char* list : {"/ADF1.dat", "/ADF2.dat"}) {
        std::ifstream in(std::string(LUMETRIX_DATA_DIR) + list);
        std::string name;
        int names = 0;
        while (std::getline(in, name)) {
            if (!name.empty() && name.back() == '\r')
                name.pop_back();
            AdfModel model{};
            EXPECT_TRUE(adfModelByName(name, model)) << list << ": " << name;
            ++names;
        }
        EXPECT_GE(names, 7) << list;
    }
    AdfModel model{};
    EXPECT_FALSE(adfModelByName("Lambertian", model));
}
