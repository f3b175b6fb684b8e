#include "kernel/angle_bins.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace lumetrix::kernel {
namespace {

using Complex = std::complex<double>;
constexpr double kPi = std::numbers::pi;

// Gauss-Legendre rules on [-1, 1]. Three points integrate the Fresnel coefficients over
// the pieces of a bin to about 1e-6, eight over those of the widest bins (one or two per
// 90 degrees) and the attenuation of a wide bin.
struct Rule {
    std::array<double, 8> node, weight;
    std::size_t size;
};
constexpr Rule kThree{{-0.7745966692414834, 0, 0.7745966692414834},
                      {0.5555555555555556, 0.8888888888888888, 0.5555555555555556},
                      3};
constexpr Rule kEight{
    {-0.9602898564975363, -0.7966664774136267, -0.5255324099163290, -0.1834346424956498,
     0.1834346424956498, 0.5255324099163290, 0.7966664774136267, 0.9602898564975363},
    {0.1012285362903763, 0.2223810344533745, 0.3137066458778873, 0.3626837833783620,
     0.3626837833783620, 0.3137066458778873, 0.2223810344533745, 0.1012285362903763},
    8};

// Calls f(x, weight) at the points of a Gauss-Legendre rule on [a, b].
template <class F> void gauss(const Rule& rule, double a, double b, F&& f) {
    const double half = (b - a) / 2, mid = (a + b) / 2;
    for (std::size_t k = 0; k < rule.size; ++k)
        f(mid + half * rule.node[k], half * rule.weight[k]);
}

// Integration points of u over [lo, hi]. Where an end is the grazing u of a medium
// (n' cos theta = 0) the integrand has a square-root edge, so u = end -+ t^2 makes it smooth.
// A piece wider than `span` (coarse bins) takes eight points instead of three.
template <class F>
void integrateU(double lo, double hi, double edge1, double edge2, double span, F&& f) {
    const Rule& rule = hi - lo > span ? kEight : kThree;
    const bool top = hi == edge1 || hi == edge2, bottom = lo == edge1 || lo == edge2;
    if (top && bottom) {
        const double mid = (lo + hi) / 2;
        integrateU(lo, mid, edge1, edge2, span, f);
        integrateU(mid, hi, edge1, edge2, span, f);
    } else if (top) {
        gauss(rule, 0, std::sqrt(hi - lo), [&](double t, double w) { f(hi - t * t, 2 * t * w); });
    } else if (bottom) {
        gauss(rule, 0, std::sqrt(hi - lo), [&](double t, double w) { f(lo + t * t, 2 * t * w); });
    } else {
        gauss(rule, lo, hi, f);
    }
}

// The square root with a non-negative real part, without the checks of std::sqrt (the
// kernel's hottest loop); accurate on both sides of the negative real axis.
Complex root(Complex z) {
    const double x = z.real(), y = z.imag(), m = std::sqrt(x * x + y * y);
    if (x >= 0) {
        const double t = std::sqrt((m + x) / 2);
        return {t, t > 0 ? y / (2 * t) : 0};
    }
    const double t = std::sqrt((m - x) / 2);
    return {std::abs(y) / (2 * t), std::copysign(t, y)};
}

// n cos theta in a medium of index n for light of invariant u: the branch of a wave that
// travels or decays away from the interface (Born & Wolf, absorbing media).
Complex normalIndex(Complex n, double u) {
    const Complex k = root(n * n - u);
    return k.imag() < 0 ? -k : k;
}

// Fresnel's reflectance of unpolarised light from index n1 into n2 at invariant u (mean of
// s and p: |rs|^2 and |rp|^2 as ratios of squared magnitudes). Beyond the grazing u of a
// lossless n2 the light is totally reflected.
double fresnelR(Complex n1, Complex n2, double u) {
    if (n2.imag() == 0 && u >= n2.real() * n2.real())
        return 1;
    const Complex k1 = normalIndex(n1, u), k2 = normalIndex(n2, u);
    const Complex p1 = n2 * n2 * k1, p2 = n1 * n1 * k2;
    const double rs = std::norm(k1 - k2) / std::norm(k1 + k2);
    const double rp = std::norm(p1 - p2) / std::norm(p1 + p2);
    return std::clamp((rs + rp) / 2, 0.0, 1.0);
}

// sin^2 at the edges of the bins: u at the edges of a medium of real index a is a^2 times it.
std::vector<double> sineSquares(int bins) {
    std::vector<double> edges(static_cast<std::size_t>(bins) + 1);
    for (int k = 0; k < bins; ++k) {
        const double s = std::sin(k * kPi / 2 / bins);
        edges[static_cast<std::size_t>(k)] = s * s;
    }
    edges.back() = 1;
    return edges;
}

// The bin whose edges (rising) hold u.
int binOf(double u, const std::vector<double>& edges) {
    const auto above = std::upper_bound(edges.begin(), edges.end(), u);
    return std::clamp(static_cast<int>(above - edges.begin()) - 1, 0,
                      static_cast<int>(edges.size()) - 2);
}

// The light of one side, integrated over u (so in units of etendue): what the flat interface
// sends on (the kept light, and scattered light of a specular ADF), and per incoming bin the
// scattered light left for the ADF (rho reflected, tau transmitted).
struct SideLight {
    Eigen::MatrixXd reflect, transmit;
    Eigen::VectorXd rho, tau;
    Eigen::VectorXd width; // of each bin in u, as integrated (so that a whole bin sums to 1)
};

SideLight fillSide(Complex n1, Complex n2, int bins, const std::vector<double>& own,
                   const std::vector<double>& other, const RoughSide* rough, double factor,
                   bool direct, double raise) {
    SideLight side{Eigen::MatrixXd::Zero(bins, bins), Eigen::MatrixXd::Zero(bins, bins),
                   Eigen::VectorXd::Zero(bins), Eigen::VectorXd::Zero(bins),
                   Eigen::VectorXd::Zero(bins)};
    const double top = own.back(), critical = other.back();
    // The pieces of u in which neither this side's bin nor the other side's changes.
    std::vector<double> cuts = own;
    for (double u : other)
        if (u < top)
            cuts.push_back(u);
    std::sort(cuts.begin(), cuts.end());
    for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
        const double lo = cuts[c], hi = cuts[c + 1];
        if (hi <= lo)
            continue;
        const double mid = (lo + hi) / 2;
        const int i = binOf(mid, own);
        // Beyond the other side's grazing u only an absorbing medium takes light: its most
        // grazing bin.
        const int k = mid < critical ? binOf(mid, other) : bins - 1;
        double keptR = 0, keptT = 0, scatteredR = 0, scatteredT = 0, width = 0;
        // Pieces wider than half the range of u both sides share (so the same from
        // either side), or of this side's beyond it, take more points.
        const double shared = std::min(top, critical);
        const double span = (hi <= shared ? shared : top) / 2;
        integrateU(lo, hi, top, critical, span, [&](double u, double w) {
            width += w;
            double R = fresnelR(n1, n2, u);
            if (R < 1) // calibrated, except where the light is totally reflected
                R = std::min(1.0, (direct ? factor : factor * R) * raise);
            const double T = 1 - R;
            const double hR = rough ? rough->hazeR(u) : 0;
            const double hT = rough && u < critical ? rough->hazeT(u) : 0;
            keptR += w * R * (1 - hR);
            scatteredR += w * R * hR;
            keptT += w * T * (1 - hT);
            scatteredT += w * T * hT;
        });
        const bool specularR = !rough || rough->specularR, specularT = !rough || rough->specularT;
        side.reflect(i, i) += keptR + (specularR ? scatteredR : 0);
        side.transmit(k, i) += keptT + (specularT ? scatteredT : 0);
        side.width(i) += width;
        side.rho(i) += specularR ? 0 : scatteredR;
        side.tau(i) += specularT ? 0 : scatteredT;
    }
    return side;
}

// The reciprocal redistribution of the scattered light of both sides, over all 2 * bins
// bins (those above first), in etendue units: W(o, i) is the power from bin i into bin o
// times the etendue of i. W is symmetric (detailed balance, so light that scatters into a
// bin scatters out of it as readily) and its column sums are the scattered power r of each
// bin (nothing lost or made).
//
// The plain operator W0 sends r_i by the ADF shares, which with a haze that changes with
// the angle is not symmetric. K = (W0 + W0^T) / 2 plus a floor eps r r^T / sum r (so that
// every bin with scattered light reaches every other) is scaled symmetrically,
// W = diag(x) K diag(x), to the row sums r: x = r / (K x), the fixed point of symmetric
// Sinkhorn-Knopp scaling. W0 is a sum of four outer products (reflection and transmission
// of each side), so K = M G^T has rank at most 8 and x = r / (M c) is fixed by the eight
// numbers c = G^T x, found by Newton's method in a few steps (Sinkhorn's iteration takes
// hundreds where reflection hardly couples to transmission). Where Newton's method stalls,
// damped Sinkhorn steps finish; what is left unbalanced stays in its own bin.
Eigen::MatrixXd balancedScattering(const SideLight& down, const SideLight& up,
                                   const RoughSide* above, const RoughSide* below, int bins) {
    const Eigen::Index n = bins, all = 2 * n;
    // W0 = sum_k to_k from_k^T, from the incoming bins' scattered power to the ADF shares
    // of the outgoing bins, so K = M G^T with the columns (to_k / 2, from_k) and
    // (from_k / 2, to_k) of M and G; the floor eps r r^T / sum r joins them below.
    constexpr double kFloor = 1e-9;
    // Eight columns always (unused ones zero) so that the small algebra has fixed sizes.
    using Tall = Eigen::Matrix<double, Eigen::Dynamic, 8>;
    Tall m = Tall::Zero(all, 8), g = Tall::Zero(all, 8);
    Eigen::Index rank = 0;
    const auto add = [&](const Eigen::VectorXd& power, bool fromAbove,
                         const std::vector<double>& adf, bool toAbove) {
        if (power.sum() <= 0)
            return;
        const Eigen::Map<const Eigen::VectorXd> shares(adf.data(), n);
        const Eigen::Index from = fromAbove ? 0 : n, to = toAbove ? 0 : n;
        m.col(rank).segment(to, n) = 0.5 * shares;
        g.col(rank).segment(from, n) = power;
        m.col(rank + 1).segment(from, n) = 0.5 * power;
        g.col(rank + 1).segment(to, n) = shares;
        rank += 2;
    };
    if (above && !above->specularR)
        add(down.rho, true, above->adfR, true);
    if (above && !above->specularT)
        add(down.tau, true, above->adfT, false);
    if (below && !below->specularR)
        add(up.rho, false, below->adfR, false);
    if (below && !below->specularT)
        add(up.tau, false, below->adfT, true);
    if (rank == 0)
        return Eigen::MatrixXd::Zero(all, all);
    Eigen::VectorXd r = Eigen::VectorXd::Zero(all);
    for (Eigen::Index k = 1; k < rank; k += 2)
        r += 2 * m.col(k);
    const double total = r.sum();
    // The floor's r^T x is the sum of the from_k^T x: it joins their columns.
    for (Eigen::Index k = 0; k < rank; k += 2)
        m.col(k) += (kFloor / total) * r;
    // x = r / (M c) where r > 0 (and M c, i.e. K x, with it); false where M c is not positive.
    using Small = Eigen::Matrix<double, 8, 1>;
    const auto scaling = [&](const Small& c, Eigen::VectorXd& x, Eigen::VectorXd& kx) {
        kx.noalias() = m * c;
        for (Eigen::Index i = 0; i < all; ++i) {
            if (r(i) <= 0) {
                x(i) = 0;
            } else if (kx(i) > 0) {
                x(i) = r(i) / kx(i);
            } else {
                return false;
            }
        }
        return true;
    };
    // Start from x = sqrt(r / K 1), right for a K of rank one.
    Eigen::VectorXd x(all), kx(all), xTrial(all), kxTrial(all);
    const auto start = [&] {
        kx.noalias() = m * (g.transpose() * Eigen::VectorXd::Ones(all));
        return Eigen::VectorXd((r.array() / kx.array()).sqrt().matrix());
    };
    x = start();
    Small c = g.transpose() * x;
    Small f = Small::Zero();
    if (scaling(c, x, kx))
        f = c - g.transpose() * x;
    Eigen::Matrix<double, 8, 8> jacobian;
    Tall weighted(all, 8);
    for (int step = 0; step < 100 && f.norm() > 1e-12 * c.norm(); ++step) {
        weighted.noalias() = x.cwiseQuotient(kx).asDiagonal() * m;
        jacobian.setIdentity();
        jacobian.noalias() += g.transpose() * weighted;
        const Small delta = jacobian.partialPivLu().solve(-f);
        // Halve the step until M c stays positive and the miss shrinks.
        double t = 1;
        for (; t > 1e-6; t /= 2) {
            const Small trial = c + t * delta;
            if (!scaling(trial, xTrial, kxTrial))
                continue;
            const Small missed = trial - g.transpose() * xTrial;
            if (missed.norm() < f.norm()) {
                c = trial;
                f = missed;
                x.swap(xTrial);
                kx.swap(kxTrial);
                break;
            }
        }
        if (t <= 1e-6)
            break;
    }
    if (!scaling(c, x, kx))
        x = start();
    // Where Newton's method stalls (K nearly splits into blocks, so that one scale between
    // them is hardly fixed), symmetric Sinkhorn-Knopp steps x <- sqrt(x r / (K x)), which
    // converge for any positive K, finish the balance.
    const auto missed = [&] {
        kx.noalias() = m * (g.transpose() * x);
        return (x.cwiseProduct(kx) - r).cwiseAbs().sum() / total;
    };
    for (int step = 0; step < 3000 && missed() > 1e-10; ++step)
        for (Eigen::Index i = 0; i < all; ++i)
            x(i) = r(i) > 0 ? std::sqrt(x(i) * r(i) / kx(i)) : 0;
    Eigen::MatrixXd w = m * g.transpose();
    w = x.asDiagonal() * w * x.asDiagonal();
    w = (0.5 * (w + w.transpose())).eval(); // exactly symmetric
    // Rows that take more than r lose it symmetrically: W_oi * s_o * s_i with
    // s = min(1, r / row sum) keeps every row sum at or below r.
    const Eigen::VectorXd sums = w.rowwise().sum();
    Eigen::VectorXd shrink = Eigen::VectorXd::Ones(all);
    for (Eigen::Index i = 0; i < all; ++i)
        if (sums(i) > r(i))
            shrink(i) = r(i) / sums(i);
    w = shrink.asDiagonal() * w * shrink.asDiagonal();
    w.diagonal() += (r - w.rowwise().sum()).cwiseMax(0.0);
    return w;
}

// The reciprocal redistribution of Lambertian scattered light in closed form, in the units
// and the bin order of balancedScattering. Lambertian light in a bin is proportional to its
// etendue, and reciprocity asks S(o <- i) E_i = S(i <- o) E_o, so each block is an outer
// product of the bins' scattered powers (e.g. E. Yablonovitch, JOSA 72, 899 (1982): the
// ideal randomiser that gives the 4 n^2 limit):
//  - one side, A, keeps its own split: what its bin i scatters in transmission, tau_i, all
//    crosses, into the other side's bins in proportion to their scattered power r = rho + tau;
//  - the other side's bin o then sends across the share sum(tau_A) / sum(r) of its scattered
//    power, into A in proportion to tau_A (so a fully randomised high-index side lets out
//    <T> / n^2 of its light at every angle, as the ergodic limit assumes), and the rest back
//    into its own side in proportion to what its bins keep there;
//  - A's reflected scattered light returns into A in proportion to rho_A.
// A is the side that sends less across (with a haze that is the same both ways through the
// two sums are equal, and A is the side of the lower index), so the other side can take it.
Eigen::MatrixXd lambertianScattering(const SideLight& down, const SideLight& up, bool aboveKeeps,
                                     int bins) {
    const Eigen::Index n = bins;
    const SideLight& a = aboveKeeps ? down : up;
    const SideLight& b = aboveKeeps ? up : down;
    const Eigen::VectorXd rB = b.rho + b.tau;
    const double across = a.tau.sum(), scatteredB = rB.sum();
    const double crossing = std::min(across, scatteredB);
    const double share = across > 0 ? crossing / across : 0;
    const Eigen::VectorXd keptA = a.rho + (1 - share) * a.tau;
    const Eigen::VectorXd keptB = scatteredB > 0 ? Eigen::VectorXd(rB * (1 - crossing / scatteredB))
                                                 : Eigen::VectorXd::Zero(n);
    const auto outer = [](const Eigen::VectorXd& x, const Eigen::VectorXd& y, double total) {
        return total > 0 ? Eigen::MatrixXd(x * y.transpose() / total)
                         : Eigen::MatrixXd::Zero(x.size(), y.size());
    };
    const Eigen::MatrixXd intoB = outer(rB, share * a.tau, scatteredB); // (o in B, i in A)
    Eigen::MatrixXd w(2 * n, 2 * n);
    const Eigen::Index ia = aboveKeeps ? 0 : n, ib = aboveKeeps ? n : 0;
    w.block(ia, ia, n, n) = outer(keptA, keptA, keptA.sum());
    w.block(ib, ib, n, n) = outer(keptB, keptB, keptB.sum());
    w.block(ib, ia, n, n) = intoB;
    w.block(ia, ib, n, n) = intoB.transpose();
    return w;
}

} // namespace

double binAngle(int i, int bins) {
    return (i + 0.5) * kPi / 2 / bins;
}

Eigen::VectorXd slabPass(double alphaD, int bins) {
    // Mean of exp(-alphaD / c) over the bin with weight c dc (c = cos theta): the etendue.
    const int pieces = std::max(1, 8 / bins);
    Eigen::VectorXd pass(bins);
    for (int i = 0; i < bins; ++i) {
        const double high = std::cos(i * kPi / 2 / bins);
        const double low = i + 1 == bins ? 0.0 : std::cos((i + 1) * kPi / 2 / bins);
        const double step = (high - low) / pieces;
        double sum = 0;
        for (int p = 0; p < pieces; ++p)
            gauss(kEight, low + p * step, low + (p + 1) * step,
                  [&](double c, double w) { sum += w * 2 * c * std::exp(-alphaD / c); });
        pass(i) = sum / (high * high - low * low);
    }
    return pass;
}

BinInterface makeInterface(Complex n1, Complex n2, int bins, const RoughSide* above,
                           const RoughSide* below, const BinCalibration& c) {
    // A medium without a real part of its index has no directions to speak of.
    std::vector<double> edges1 = sineSquares(bins), edges2 = edges1;
    const double a1 = std::max(n1.real(), 1e-6), a2 = std::max(n2.real(), 1e-6);
    for (double& u : edges1)
        u *= a1 * a1;
    for (double& u : edges2)
        u *= a2 * a2;
    const SideLight down = fillSide(n1, n2, bins, edges1, edges2, above, c.c12, c.direct, 1);
    const SideLight up =
        fillSide(n2, n1, bins, edges2, edges1, below, c.c21, c.direct, c.backScattered);
    const bool lambertian =
        (!above || (above->lambertian && !above->specularR && !above->specularT)) &&
        (!below || (below->lambertian && !below->specularR && !below->specularT)) &&
        (above || below);
    // The side that sends less across keeps its split; of equal ones, the side of lower index.
    const double acrossDown = down.tau.sum(), acrossUp = up.tau.sum();
    const bool aboveKeeps = std::abs(acrossDown - acrossUp) <= 1e-9 * (acrossDown + acrossUp)
                                ? a1 <= a2
                                : acrossDown < acrossUp;
    const Eigen::MatrixXd scattered = lambertian ? lambertianScattering(down, up, aboveKeeps, bins)
                                                 : balancedScattering(down, up, above, below, bins);
    const Eigen::Index n = bins;
    BinInterface face{down.reflect + scattered.topLeftCorner(n, n),
                      down.transmit + scattered.bottomLeftCorner(n, n),
                      up.reflect + scattered.bottomRightCorner(n, n),
                      up.transmit + scattered.topRightCorner(n, n),
                      (down.rho + down.tau).cwiseQuotient(down.width),
                      (up.rho + up.tau).cwiseQuotient(up.width)};
    // From etendue units to shares of each incoming bin's power.
    for (Eigen::Index i = 0; i < n; ++i) {
        face.reflectDown.col(i) /= down.width(i);
        face.transmitDown.col(i) /= down.width(i);
        face.reflectUp.col(i) /= up.width(i);
        face.transmitUp.col(i) /= up.width(i);
    }
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
