// The specular optics of a flat stack against closed forms worked out by hand: Fresnel, the
// quarter-wave coating, the Airy formula of a film, Beer-Lambert, the thick substrate, rough
// and calibrated interfaces, and the energy balance of mixed stacks.
#include "kernel/complex_divide.h"
#include "kernel/optics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <string>

using namespace lumetrix::kernel;

namespace {

constexpr double kPi = std::numbers::pi;

OpticalLayer layer(Complex n, double d, Coherence c = Coherence::Coherent, int segments = 1) {
    return {n, d, c, c == Coherence::Incoherent ? 1.0 : 0.0, segments};
}

// R + T + ΣA plus all the scattered light: 1.
double balance(const StackOptics& s) {
    double sum = s.R + s.T;
    for (double a : s.A)
        sum += a;
    for (std::size_t j = 0; j < s.scatteredUp.size(); ++j)
        sum += s.scatteredUp[j] + s.scatteredDown[j];
    return sum;
}

// A stack and what a closed form (or tmm) says of it: R and T, the shares of the first layer's
// segments and each layer's absorption when given, and the light scattered up and down at
// interface `face`.
struct ClosedForm {
    std::string name;
    Complex top;
    std::vector<OpticalLayer> layers;
    Complex bottom;
    double lambda, R, T, tolerance;
    std::vector<double> segments = {};
    std::vector<InterfaceHaze> haze = {};
    double up = 0, down = 0;
    std::size_t face = 0;
    std::vector<double> A = {};
};

std::vector<ClosedForm> closedForms() {
    std::vector<ClosedForm> rows;
    const auto add = [&rows](std::string name, Complex top, std::vector<OpticalLayer> layers,
                             Complex bottom, double lambda, double R, double T,
                             double tolerance) -> ClosedForm& {
        rows.push_back({std::move(name), top, std::move(layers), bottom, lambda, R, T, tolerance});
        return rows.back();
    };
    for (const auto& [n1, n2] : {std::pair{1.0, 1.5}, {1.5, 1.0}, {1.0, 3.5}, {2.0, 2.0}}) {
        const double r = (n1 - n2) / (n1 + n2);
        add("Fresnel " + std::to_string(n1) + " -> " + std::to_string(n2), n1, {}, n2, 600, r * r,
            1 - r * r, 1e-12);
    }
    // The quarter-wave coating of index sqrt(n0 n2) reflects nothing.
    const double nq = std::sqrt(1.5);
    add("quarter wave", 1, {layer(nq, 550 / (4 * nq))}, 1.5, 550, 0, 1, 1e-12);
    // A lossless film of n 2 on glass: the Airy formula, and nothing absorbed.
    const double r01 = (1 - 2.0) / 3, r12 = (2 - 1.5) / 3.5;
    const auto airy = [r12](double r01, double d) {
        const double cos2 = std::cos(4 * kPi * 2 * d / 550);
        return (r01 * r01 + r12 * r12 + 2 * r01 * r12 * cos2) /
               (1 + r01 * r01 * r12 * r12 + 2 * r01 * r12 * cos2);
    };
    for (const double d : {10.0, 68.75, 137.5, 200.0, 1000.0})
        add("Airy " + std::to_string(d), 1, {layer(2, d, Coherence::Coherent, 3)}, 1.5, 550,
            airy(r01, d), 1 - airy(r01, d), 1e-12);
    // Absorbing films against tmm, flat and with thick weakly absorbing incoherent layers, whose
    // absorption includes the interference of the waves falling on a run and coming back:
    // cd /work/shared/reference && /usr/bin/python3 -c "import tmm; inf=float('inf');
    //  d=tmm.coh_tmm('s',[1,1.9+0.03j,4.2+0.6j,2.0+0.01j,0.05+4j,1.5],[inf,75,30,120,15,inf],0,550);
    //  print(d['R'],d['T'],tmm.absorp_in_each_layer(d)[1:-1])"
    add("tmm absorbing films", 1,
        {layer({1.9, 0.03}, 75), layer({4.2, 0.6}, 30), layer({2.0, 0.01}, 120),
         layer({0.05, 4}, 15)},
        1.5, 550, 0.02947705916413647, 0.396912501839342, 1e-9)
        .A = {0.046763161784671436, 0.4673951593132493, 0.037747266993737705, 0.02170485090486307};
    // r=tmm.inc_tmm('s',[1,2.0+0.01j,1.5+2e-6j,1.9+0.02j,1],[inf,80,2e5,100,inf],
    //  ['i','c','i','c','i'],0,600); print(r['R'],r['T'],tmm.inc_absorp_in_each_layer(r)[1:-1])
    add("tmm glass between films", 1,
        {layer({2.0, 0.01}, 80), layer({1.5, 2e-6}, 2e5, Coherence::Incoherent, 3),
         layer({1.9, 0.02}, 100)},
        1, 600, 0.29296764480226667, 0.653848707632354, 1e-8)
        .A = {0.015319537357758208, 0.007689266768859504, 0.03017484343876165};
    // r=tmm.inc_tmm('s',[1,2.0+0.001j,3.6+1e-4j,1.8+0.01j,0.1+7j,1],[inf,75,2e5,80,150,inf],
    //  ['i','c','i','c','c','i'],0,1100);
    //  print(r['R'],r['T'],tmm.inc_absorp_in_each_layer(r)[1:-1])
    add("tmm wafer between films", 1,
        {layer({2.0, 0.001}, 75), layer({3.6, 1e-4}, 2e5, Coherence::Incoherent, 2),
         layer({1.8, 0.01}, 80), layer({0.1, 7}, 150)},
        1, 1100, 0.6485565595332836, 1.4652516669387626e-06, 1e-8)
        .A = {0.0012743595391352734, 0.3377677802700076, 0.006320524042985712,
              0.006079311362920915};
    // Beer-Lambert over one absorption length in an index-matched absorber (n matched to the
    // media and k tiny, so reflection, about k^2 / 4n^2, stays below 1e-11): the top quarter
    // absorbs most. On a thick glass in air, the 4 % reflected at the glass's back comes up
    // through the absorber once (the top is index matched) and is absorbed from the bottom up.
    const double k = 1e-5, d = 500 / (4 * kPi * k), r = 0.04;
    const auto slice = [](int q) { return std::exp(-q / 4.0) - std::exp(-(q + 1) / 4.0); };
    std::vector<double> down, downAndUp;
    for (int q = 0; q < 4; ++q) {
        down.push_back(slice(q));
        downAndUp.push_back(slice(q) + r * std::exp(-1.0) * slice(3 - q));
    }
    for (const Coherence c : {Coherence::Coherent, Coherence::Incoherent}) {
        add("Beer-Lambert", 1.5, {layer({1.5, k}, d, c, 4)}, 1.5, 500, 0, std::exp(-1.0), 1e-9)
            .segments = down;
        add("absorbed from below", 1.5,
            {layer({1.5, k}, d, c, 4), layer(1.5, 1e6, Coherence::Incoherent)}, 1, 500,
            r * std::exp(-2.0), (1 - r) * std::exp(-1.0), 1e-9)
            .segments = downAndUp;
    }
    // A glass slab in air: multiple reflections add up in intensity.
    const double a = std::exp(-4 * kPi * 2e-7 * 1e6 / 633);
    add("thick substrate", 1, {layer({1.5, 2e-7}, 1e6, Coherence::Incoherent)}, 1, 633,
        r + (1 - r) * (1 - r) * r * a * a / (1 - r * r * a * a),
        (1 - r) * (1 - r) * a / (1 - r * r * a * a), 1e-9);
    // One rough interface, air to glass: R = r^2 (1 - H_R) and T = (1 - r^2)(1 - H_T) stay in
    // the beams, r^2 H_R leaves scattered upwards and (1 - r^2) H_T downwards.
    const double hR = 0.3, hT = 0.6;
    ClosedForm& rough = add("rough", 1, {}, 1.5, 600, r * (1 - hR), (1 - r) * (1 - hT), 1e-12);
    rough.haze = {{hR, hT, 0, 0}};
    rough.up = r * hR;
    rough.down = (1 - r) * hT;
    // A haze of 1 lets no specular beam through: what the beam loses is scattered, inside a
    // run (the film below the first is never reached) and at its ends, seen from above and,
    // under a glass that sends r = 0.04 back up, from below (split as |t21|^2 : |r21|^2, 48 : 1).
    for (const double h : {0.0, 1.0}) {
        ClosedForm& full =
            add("full haze " + std::to_string(h), 1, {}, 1.5, 600, r * (1 - h), 0, 1e-12);
        full.haze = {{h, 1, 0, 0}};
        full.up = r * h;
        full.down = 1 - r;
    }
    const double Rf = airy(r01, 100);
    ClosedForm& inside =
        add("full haze inside a run", 1, {layer(2, 100, Coherence::Coherent, 3), layer(1.5, 200)},
            3.5, 550, Rf, 0, 1e-12);
    inside.haze = {{}, {0, 1, 0, 0}, {}};
    inside.face = 1;
    inside.down = 1 - Rf;
    inside.segments = {0, 0, 0};
    ClosedForm& fromBelow =
        add("full haze from below", 1,
            {layer(2, 100, Coherence::Coherent, 3), layer(1.5, 1e6, Coherence::Incoherent)}, 1, 550,
            Rf, (1 - Rf) * (1 - r), 1e-12);
    fromBelow.haze = {{}, {0, 0, 1, 1}, {}};
    fromBelow.face = 1;
    fromBelow.up = (1 - Rf) * r * 48 / 49;
    fromBelow.down = (1 - Rf) * r / 49;
    // Air to glass, R = 0.04: c12 = 0.5 halves it; "directly" c12 = 0.1 is the reflectance.
    for (const auto& [c12, direct, R] :
         {std::tuple{0.5, false, 0.02}, {0.1, true, 0.1}, {1.0, false, 0.04}, {0.0, false, 0.0}})
        add("calibrated " + std::to_string(c12), 1, {}, 1.5, 600, R, 1 - R, 1e-12).haze = {
            {0, 0, 0, 0, c12, 1, direct}};
    // Inside a coherent run (a lossless film on glass) the calibrated front keeps the power and
    // acts as a Fresnel interface of r01 sqrt(0.3): the Airy formula with that r01.
    ClosedForm& film =
        add("calibrated film", 1, {layer(2, 120, Coherence::Coherent, 4)}, 1.5, 550,
            airy(r01 * std::sqrt(0.3), 120), 1 - airy(r01 * std::sqrt(0.3), 120), 1e-12);
    film.segments = {0, 0, 0, 0};
    film.haze = {{0, 0, 0, 0, 0.3, 1, false}, {}};
    // A calibrated glass slab: light from above sees c12 (R1 = 0.02), from below c21 (0.01).
    const double R1 = 0.5 * r, R1b = 0.25 * r;
    add("calibrated substrate", 1, {layer(1.5, 1e6, Coherence::Incoherent)}, 1, 633,
        R1 + (1 - R1) * (1 - R1b) * r / (1 - R1b * r), (1 - R1) * (1 - r) / (1 - R1b * r), 1e-12)
        .haze = {{0, 0, 0, 0, 0.5, 0.25, false}, {}};
    // Calibrated onto absorbing media the interface keeps the power: R' = c12 R, T = 1 - R'.
    // Silver cannot reflect less than R_min = (|n1||n2| - p) / (|n1||n2| + p), p = Re(n1 conj n2),
    // and at 1.5 R it becomes a mirror.
    const Complex absorber(2.9, 0.5), silver(0.05, 4);
    const double Ra = std::norm((1.0 - absorber) / (1.0 + absorber));
    const double Rs = std::norm((1.0 - silver) / (1.0 + silver));
    const double Rmin = (std::abs(silver) - 0.05) / (std::abs(silver) + 0.05);
    for (const auto& [name, n, c12, R] : {std::tuple{"absorber", absorber, 0.3, 0.3 * Ra},
                                          {"silver", silver, 0.99, 0.99 * Rs},
                                          {"silver, least", silver, 0.3, Rmin},
                                          {"silver, mirror", silver, 1.5, 1.0}})
        add(std::string("calibrated ") + name, 1, {}, n, 600, R, 1 - R, 1e-12).haze = {
            {0, 0, 0, 0, c12, 1, false}};
    return rows;
}

} // namespace

TEST(Optics, StacksMatchTheirClosedForms) {
    for (const ClosedForm& c : closedForms()) {
        SCOPED_TRACE(c.name);
        const StackOptics s = solveStack(c.top, c.layers, c.bottom, c.lambda, c.haze);
        EXPECT_NEAR(s.R, c.R, c.tolerance);
        EXPECT_NEAR(s.T, c.T, c.tolerance);
        EXPECT_NEAR(s.scatteredUp[c.face], c.up, c.tolerance);
        EXPECT_NEAR(s.scatteredDown[c.face], c.down, c.tolerance);
        EXPECT_NEAR(balance(s), 1, c.tolerance);
        for (std::size_t i = 0; i < c.A.size(); ++i)
            EXPECT_NEAR(s.A[i], c.A[i], c.tolerance) << i;
        if (c.segments.empty())
            continue;
        ASSERT_EQ(s.segments[0].size(), c.segments.size());
        for (std::size_t q = 0; q < c.segments.size(); ++q)
            EXPECT_NEAR(s.segments[0][q], c.segments[q], c.tolerance) << q;
    }
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
    const std::vector<InterfaceHaze> partly{
        {0.2, 0.1, 0.05, 0.3}, {}, {0.5, 0.4, 0.3, 0.2}, {0, 0.7, 0, 0}, {},
        {0.1, 0.1, 0.1, 0.1},  {}};
    // Hazes of 1 too: inside runs and at their ends, from above and from below.
    const std::vector<InterfaceHaze> full{
        {0.2, 0.1, 1, 1}, {0, 0, 1, 1}, {1, 0, 0, 1}, {0, 1, 1, 0}, {}, {1, 1, 1, 1}, {0, 1, 0, 1}};
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
        for (const auto* haze : {&partly, &full}) {
            const StackOptics scattering = solveStack(1.0, stack, 1.5, lambda, *haze);
            double scattered = 0;
            for (std::size_t j = 0; j < 7; ++j) {
                EXPECT_GE(scattering.scatteredUp[j], -1e-15);
                EXPECT_GE(scattering.scatteredDown[j], -1e-15);
                scattered += scattering.scatteredUp[j] + scattering.scatteredDown[j];
            }
            EXPECT_EQ(scattering.scatteredUp[4] + scattering.scatteredDown[4], 0); // flat: none
            EXPECT_GT(scattered, 0.05);
            EXPECT_NEAR(balance(scattering), 1, 1e-12) << lambda;
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

TEST(Optics, CalibrationNeverMakesAbsorptionNegative) {
    // Absorbers and metals beside calibrated interfaces, inside runs and at their ends.
    const Complex cigs(2.9, 0.5), silver(0.05, 4);
    const std::vector<std::vector<OpticalLayer>> stacks = {
        {layer(cigs, 300, Coherence::Coherent, 4), layer(silver, 100, Coherence::Coherent, 2)},
        {layer({1.9, 0.02}, 80, Coherence::Coherent, 2), layer(cigs, 500, Coherence::Coherent, 5)},
        {layer(silver, 20, Coherence::Coherent, 3), layer({1.5, 1e-6}, 1e6, Coherence::Incoherent)},
        {layer({1.5, 1e-6}, 1e6, Coherence::Incoherent, 2),
         layer(cigs, 200, Coherence::Coherent, 3), layer(silver, 80, Coherence::Coherent, 2)}};
    for (const InterfaceHaze& calibration :
         {InterfaceHaze{0, 0, 0, 0, 0.3, 0.3, false}, InterfaceHaze{0, 0, 0, 0, 0.2, 0.2, true},
          InterfaceHaze{0, 0, 0, 0, 1.5, 1.5, false}})
        for (const auto& stack : stacks)
            for (const Complex bottom : {Complex(1), silver})
                for (const double lambda : {500.0, 800.0}) {
                    SCOPED_TRACE(std::to_string(calibration.c12) + " " +
                                 std::to_string(&stack - stacks.data()) + " " +
                                 std::to_string(bottom.imag()) + " " + std::to_string(lambda));
                    const StackOptics s =
                        solveStack(1, stack, bottom, lambda,
                                   std::vector<InterfaceHaze>(stack.size() + 1, calibration));
                    EXPECT_NEAR(balance(s), 1, 1e-12);
                    for (const auto& segments : s.segments)
                        for (double share : segments)
                            EXPECT_GE(share, -1e-15);
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
    const auto reflectance = [](Coherence c, double w) {
        return solveStack(1.0, {{{1.5, 0}, 4000, c, w, 1}}, 2.5, 700).R;
    };
    const double coherent = reflectance(Coherence::Coherent, 0);
    const double incoherent = reflectance(Coherence::Incoherent, 1);
    EXPECT_NEAR(reflectance(Coherence::Partial, 0.25), 0.75 * coherent + 0.25 * incoherent, 1e-12);
    EXPECT_GT(std::abs(coherent - incoherent), 1e-3); // the two treatments do differ here
}

TEST(Optics, ComplexQuotientIsTheLibrarysToTheBit) {
    // Against the library's own complex division: parts of every sign over many orders of
    // magnitude, zeros among them, and parts near the ends of the range it rescales, where
    // the inline form must hand over. Every bit of both parts must agree.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    std::uniform_int_distribution<int> exponent(-1100, 1100), zero(0, 9);
    for (const int span : {4, 60, 400, 1100})
        for (int k = 0; k < 200000; ++k) {
            const auto part = [&] {
                return zero(random) == 0 ? 0.0
                                         : std::ldexp(mantissa(random), exponent(random) % span);
            };
            const Complex a(part(), part()), b(part(), part());
            if (b == Complex(0, 0))
                continue;
            const Complex got = divide(a, b), library = a / b;
            ASSERT_EQ(std::memcmp(&got, &library, sizeof got), 0)
                << a << " / " << b << ": " << got << " against " << library;
        }
}
