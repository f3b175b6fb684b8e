// The specular optics of a flat stack against closed forms worked out by hand: Fresnel, the
// quarter-wave coating, the Airy formula of a film, Beer-Lambert, the thick substrate, and
// the energy balance of mixed stacks.
#include "kernel/optics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace lumetrix::kernel;

namespace {

constexpr double kPi = std::numbers::pi;

OpticalLayer layer(Complex n, double d, Coherence c = Coherence::Coherent, int segments = 1) {
    return {n, d, c, c == Coherence::Incoherent ? 1.0 : 0.0, segments};
}

double balance(const StackOptics& s) {
    double sum = s.R + s.T;
    for (double a : s.A)
        sum += a;
    return sum;
}

} // namespace

TEST(Optics, SingleInterfaceIsFresnel) {
    for (const auto& [n1, n2] : {std::pair{1.0, 1.5}, {1.5, 1.0}, {1.0, 3.5}, {2.0, 2.0}}) {
        const StackOptics s = solveStack(n1, {}, n2, 600);
        const double r = (n1 - n2) / (n1 + n2);
        EXPECT_NEAR(s.R, r * r, 1e-12) << n1 << " -> " << n2;
        EXPECT_NEAR(s.T, 1 - r * r, 1e-12);
    }
}

TEST(Optics, CoherentFilmFollowsTheAiryFormula) {
    const double n0 = 1, n1 = 2.0, n2 = 1.5, lambda = 550;
    // The quarter-wave coating of index sqrt(n0 n2) reflects nothing.
    const double nq = std::sqrt(n0 * n2);
    EXPECT_NEAR(solveStack(n0, {layer(nq, lambda / (4 * nq))}, n2, lambda).R, 0, 1e-12);
    for (const double d : {10.0, 68.75, 137.5, 200.0, 1000.0}) {
        const double r01 = (n0 - n1) / (n0 + n1), r12 = (n1 - n2) / (n1 + n2);
        const double cos2 = std::cos(4 * kPi * n1 * d / lambda);
        const double R = (r01 * r01 + r12 * r12 + 2 * r01 * r12 * cos2) /
                         (1 + r01 * r01 * r12 * r12 + 2 * r01 * r12 * cos2);
        const StackOptics s = solveStack(n0, {layer(n1, d, Coherence::Coherent, 3)}, n2, lambda);
        EXPECT_NEAR(s.R, R, 1e-12) << d;
        EXPECT_NEAR(s.T, 1 - R, 1e-12) << d; // lossless: nothing absorbed
        EXPECT_NEAR(s.A[0], 0, 1e-12);
    }
}

TEST(Optics, BeerLambertInAnIndexMatchedAbsorber) {
    // n matched to the media and k tiny, so reflection (about k^2 / 4n^2) stays below 1e-11.
    const double n = 1.5, k = 1e-5, lambda = 500;
    const double d = lambda / (4 * kPi * k); // one absorption length
    for (const Coherence c : {Coherence::Coherent, Coherence::Incoherent}) {
        const StackOptics s = solveStack(n, {layer({n, k}, d, c, 4)}, n, lambda);
        EXPECT_NEAR(s.T, std::exp(-1.0), 1e-9);
        ASSERT_EQ(s.segments[0].size(), 4u);
        for (int q = 0; q < 4; ++q) // the top quarter absorbs most
            EXPECT_NEAR(s.segments[0][static_cast<std::size_t>(q)],
                        std::exp(-q / 4.0) - std::exp(-(q + 1) / 4.0), 1e-9)
                << q;
    }
}

TEST(Optics, LightReflectedFromBelowIsAbsorbedFromTheBottomUp) {
    // The absorber of the test above on a thick glass (incoherent) in air: the 4 % reflected at
    // the glass's back comes up through the absorber once (the top is index matched).
    const double n = 1.5, k = 1e-5, lambda = 500, d = lambda / (4 * kPi * k);
    const double back = std::pow((n - 1) / (n + 1), 2) * std::exp(-1.0);
    const StackOptics s = solveStack(
        n, {layer({n, k}, d, Coherence::Coherent, 4), layer(n, 1e6, Coherence::Incoherent)}, 1.0,
        lambda);
    for (int q = 0; q < 4; ++q) {
        const double down = std::exp(-q / 4.0) - std::exp(-(q + 1) / 4.0);
        const double up = back * (std::exp(-(3 - q) / 4.0) - std::exp(-(4 - q) / 4.0));
        EXPECT_NEAR(s.segments[0][static_cast<std::size_t>(q)], down + up, 1e-9) << q;
    }
    EXPECT_NEAR(s.R, back * std::exp(-1.0), 1e-9);
}

TEST(Optics, ThickIncoherentSubstrate) {
    // A glass slab in air: multiple reflections add up in intensity.
    const double n = 1.5, k = 2e-7, d = 1e6, lambda = 633;
    const double r = std::pow((n - 1) / (n + 1), 2), a = std::exp(-4 * kPi * k * d / lambda);
    const double T = (1 - r) * (1 - r) * a / (1 - r * r * a * a);
    const double R = r + (1 - r) * (1 - r) * r * a * a / (1 - r * r * a * a);
    const StackOptics s = solveStack(1.0, {layer({n, k}, d, Coherence::Incoherent)}, 1.0, lambda);
    EXPECT_NEAR(s.T, T, 1e-9);
    EXPECT_NEAR(s.R, R, 1e-9);
    EXPECT_NEAR(s.A[0], 1 - R - T, 1e-9);
}

TEST(Optics, MixedStacksConserveEnergyAndAreReciprocal) {
    const std::vector<OpticalLayer> stack = {
        layer({2.0, 0.01}, 350, Coherence::Coherent, 5),
        layer({1.5, 1e-6}, 2e5, Coherence::Incoherent, 2),
        layer({2.4, 0.05}, 50, Coherence::Coherent, 2),
        layer({3.0, 0.02}, 2000, Coherence::Coherent, 40),
        {{1.7, 0.001}, 9000, Coherence::Partial, 0.3, 3},
        layer({0.2, 3.0}, 500, Coherence::Coherent, 5),
    };
    for (const double lambda : {350.0, 600.0, 1100.0}) {
        const StackOptics s = solveStack(1.0, stack, 1.5, lambda);
        EXPECT_NEAR(balance(s), 1, 1e-9) << lambda;
        for (std::size_t i = 0; i < stack.size(); ++i) {
            double sum = 0;
            for (double share : s.segments[i]) {
                EXPECT_GE(share, -1e-12);
                sum += share;
            }
            EXPECT_NEAR(sum, s.A[i], 1e-12);
        }
    }
    // Without the metal the stack lets light through: the same share in both directions.
    std::vector<OpticalLayer> open(stack.begin(), stack.end() - 1);
    std::vector<OpticalLayer> reversed(open.rbegin(), open.rend());
    for (const double lambda : {450.0, 800.0}) {
        const StackOptics down = solveStack(1.2, open, 1.5, lambda);
        const StackOptics up = solveStack(1.5, reversed, 1.2, lambda);
        EXPECT_NEAR(down.T, up.T, 1e-12) << lambda;
        EXPECT_GT(down.T, 0.01);
    }
}

TEST(Optics, CoherenceRuleAndItsPartialZone) {
    // lambda 600 nm, n 2: d_incoh = 600^2 / (2 * 4 * 2) = 22500 nm.
    const struct {
        double d, iFactor, cFactor;
        Coherence expected;
        double weight;
    } cases[] = {
        {22500, 1, 2, Coherence::Incoherent, 1}, {22499, 1, 2, Coherence::Partial, 11249.0 / 11250},
        {16875, 1, 2, Coherence::Partial, 0.5},  {11250, 1, 2, Coherence::Coherent, 0},
        {22499.9, 1, 1, Coherence::Coherent, 0}, {44999, 2, 1, Coherence::Coherent, 0},
        {45000, 2, 1, Coherence::Incoherent, 1}};
    for (const auto& c : cases) {
        double weight = -1;
        EXPECT_EQ(coherenceOf(c.d, 600, 2, {c.iFactor, c.cFactor}, &weight), c.expected) << c.d;
        EXPECT_NEAR(weight, c.weight, 1e-12) << c.d;
    }
}

TEST(Optics, PartialLayerLiesBetweenItsTwoTreatments) {
    const auto film = [](Coherence c, double w) {
        return std::vector<OpticalLayer>{{{1.5, 0}, 4000, c, w, 1}};
    };
    const double coherent = solveStack(1.0, film(Coherence::Coherent, 0), 2.5, 700).R;
    const double incoherent = solveStack(1.0, film(Coherence::Incoherent, 1), 2.5, 700).R;
    const double partial = solveStack(1.0, film(Coherence::Partial, 0.25), 2.5, 700).R;
    EXPECT_NEAR(partial, 0.75 * coherent + 0.25 * incoherent, 1e-12);
    EXPECT_GT(std::abs(coherent - incoherent), 1e-3); // the two treatments do differ here
}

TEST(Optics, RoughInterfaceHandsOnWhatItScatters) {
    // One interface, air to glass: R = r^2 (1 - H_R) and T = (1 - r^2)(1 - H_T) stay in the
    // beams, r^2 H_R leaves scattered upwards and (1 - r^2) H_T downwards.
    const double r2 = 0.04, hR = 0.3, hT = 0.6;
    const StackOptics s = solveStack(1.0, {}, 1.5, 600, {{hR, hT, 0, 0}});
    EXPECT_NEAR(s.R, r2 * (1 - hR), 1e-12);
    EXPECT_NEAR(s.T, (1 - r2) * (1 - hT), 1e-12);
    EXPECT_NEAR(s.scatteredUp[0], r2 * hR, 1e-12);
    EXPECT_NEAR(s.scatteredDown[0], (1 - r2) * hT, 1e-12);
}

TEST(Optics, HazeOfZeroIsTheFlatStackAndEnergyBalancesWithHaze) {
    const std::vector<OpticalLayer> stack = {
        layer({2.0, 0.01}, 350, Coherence::Coherent, 5),
        layer({1.5, 1e-6}, 2e5, Coherence::Incoherent, 2),
        layer({3.0, 0.02}, 2000, Coherence::Coherent, 40),
        {{1.7, 0.001}, 9000, Coherence::Partial, 0.3, 3},
    };
    const std::vector<InterfaceHaze> none(5),
        rough{
            {0.2, 0.1, 0.05, 0.3}, {}, {0.5, 0.4, 0.3, 0.2}, {0, 0.7, 0, 0}, {0.1, 0.1, 0.1, 0.1}};
    for (const double lambda : {400.0, 750.0}) {
        const StackOptics flat = solveStack(1.0, stack, 1.5, lambda);
        const StackOptics zero = solveStack(1.0, stack, 1.5, lambda, none);
        EXPECT_EQ(flat.R, zero.R);
        EXPECT_EQ(flat.T, zero.T);
        EXPECT_EQ(flat.segments, zero.segments);
        const StackOptics s = solveStack(1.0, stack, 1.5, lambda, rough);
        double scattered = 0;
        for (std::size_t j = 0; j < 5; ++j) {
            EXPECT_GE(s.scatteredUp[j], -1e-15);
            EXPECT_GE(s.scatteredDown[j], -1e-15);
            scattered += s.scatteredUp[j] + s.scatteredDown[j];
        }
        EXPECT_EQ(s.scatteredUp[1] + s.scatteredDown[1], 0); // a flat interface scatters nothing
        EXPECT_GT(scattered, 0.05);
        EXPECT_NEAR(balance(s) + scattered, 1, 1e-12) << lambda;
    }
}

TEST(Optics, CalibratedInterfaceReflectsItsShareAndPassesTheRest) {
    // Air to glass, R = 0.04: c12 = 0.5 halves it; "directly" c12 = 0.1 is the reflectance.
    const struct {
        double c12;
        bool direct;
        double R;
    } cases[] = {{0.5, false, 0.02}, {0.1, true, 0.1}, {1, false, 0.04}, {0, false, 0}};
    for (const auto& c : cases) {
        InterfaceHaze calibration;
        calibration.c12 = c.c12;
        calibration.direct = c.direct;
        const StackOptics s = solveStack(1.0, {}, 1.5, 600, {calibration});
        EXPECT_NEAR(s.R, c.R, 1e-12) << c.c12;
        EXPECT_NEAR(s.T, 1 - c.R, 1e-12) << c.c12;
    }
    // Inside a coherent run (a film on glass) the calibrated front still keeps the power.
    InterfaceHaze front;
    front.c12 = 0.3;
    const StackOptics film =
        solveStack(1.0, {layer(2.0, 120, Coherence::Coherent, 4)}, 1.5, 550, {front, {}});
    EXPECT_NEAR(film.R + film.T, 1, 1e-12);
    for (double share : film.segments[0])
        EXPECT_NEAR(share, 0, 1e-12);
}
