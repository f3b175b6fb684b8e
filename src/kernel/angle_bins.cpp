#include "kernel/angle_bins.h"

#include <Eigen/SparseLU>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
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

// The bin whose edges (rising) hold u, the last one that begins at or below u, looked for
// from bin `from` up (the pieces of u come in rising order).
int binFrom(int from, double u, const std::vector<double>& edges) {
    const int last = static_cast<int>(edges.size()) - 2;
    while (from < last && edges[static_cast<std::size_t>(from) + 1] <= u)
        ++from;
    return from;
}

// The light of one side, integrated over u (so in units of etendue): what the flat interface
// sends on (the kept light, and scattered light of a specular ADF), and per incoming bin the
// scattered light left for the ADF (rho reflected, tau transmitted).
struct SideLight {
    Eigen::VectorXd reflect;                      // diagonal: a bin reflects into itself
    std::vector<Eigen::Triplet<double>> transmit; // (bin of the other side, own bin, light)
    Eigen::VectorXd beyond; // per own bin: into the other side's most grazing bin, beyond its u
    Eigen::VectorXd rho, tau;
    Eigen::VectorXd width; // of each bin in u, as integrated (so that a whole bin sums to 1)
};

// Where the ranges of u of both sides overlap, both sides integrate over the same pieces at
// the same points, and Fresnel's R is the same both ways (to the bit: |rs| and |rp| only
// swap their terms): the first side keeps its values of R there in `sharedR`, the second
// takes them from it.
SideLight fillSide(Complex n1, Complex n2, int bins, const std::vector<double>& own,
                   const std::vector<double>& other, const RoughSide* rough, double factor,
                   bool direct, double raise, std::vector<double>& sharedR, bool first) {
    const Eigen::VectorXd zero = Eigen::VectorXd::Zero(bins);
    SideLight side{zero, {}, zero, zero, zero, zero};
    const double top = own.back(), critical = other.back();
    // The pieces of u in which neither this side's bin nor the other side's changes.
    std::vector<double> cuts(own.size() + other.size());
    const auto below = std::lower_bound(other.begin(), other.end(), top);
    cuts.resize(static_cast<std::size_t>(
        std::merge(own.begin(), own.end(), other.begin(), below, cuts.begin()) - cuts.begin()));
    std::size_t next = 0; // of sharedR
    int i = 0, k = 0;     // the bins of the piece on this side and the other, rising with u
    for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
        const double lo = cuts[c], hi = cuts[c + 1];
        if (hi <= lo)
            continue;
        const double mid = (lo + hi) / 2;
        i = binFrom(i, mid, own);
        // Beyond the other side's grazing u only an absorbing medium takes light: its most
        // grazing bin.
        const bool beyond = mid >= critical;
        k = beyond ? bins - 1 : binFrom(k, mid, other);
        double keptR = 0, keptT = 0, scatteredR = 0, scatteredT = 0, width = 0;
        // Pieces wider than half the range of u both sides share (so the same from
        // either side), or of this side's beyond it, take more points.
        const double shared = std::min(top, critical);
        const double span = (hi <= shared ? shared : top) / 2;
        integrateU(lo, hi, top, critical, span, [&](double u, double w) {
            width += w;
            double R;
            if (hi > shared || (!first && next >= sharedR.size()))
                R = fresnelR(n1, n2, u);
            else if (first)
                sharedR.push_back(R = fresnelR(n1, n2, u));
            else
                R = sharedR[next++];
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
        side.reflect(i) += keptR + (specularR ? scatteredR : 0);
        const double transmitted = keptT + (specularT ? scatteredT : 0);
        if (beyond)
            side.beyond(i) += transmitted;
        else
            side.transmit.emplace_back(k, i, transmitted);
        side.width(i) += width;
        side.rho(i) += specularR ? 0 : scatteredR;
        side.tau(i) += specularT ? 0 : scatteredT;
    }
    return side;
}

// A redistribution of scattered light over the bins of both sides in factors: W = spread *
// gather^T + diag(diagonal).
struct Redistribution {
    Eigen::MatrixXd spread, gather;
    Eigen::VectorXd diagonal;
};

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
// damped Sinkhorn steps finish; what is left unbalanced stays in its own bin. W stays in
// factors: diag(x) M G^T diag(x) symmetrised is [xM, xG] [xG, xM]^T / 2, of rank 2 * 8.
Redistribution balancedScattering(const SideLight& down, const SideLight& up,
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
        return {Eigen::MatrixXd(all, 0), Eigen::MatrixXd(all, 0), Eigen::VectorXd::Zero(all)};
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
    Redistribution w{Eigen::MatrixXd(all, 2 * rank), Eigen::MatrixXd(all, 2 * rank), {}};
    w.spread << x.asDiagonal() * m.leftCols(rank), x.asDiagonal() * g.leftCols(rank);
    w.gather << 0.5 * x.asDiagonal() * g.leftCols(rank), 0.5 * x.asDiagonal() * m.leftCols(rank);
    // Rows that take more than r lose it symmetrically: W_oi * s_o * s_i with
    // s = min(1, r / row sum) keeps every row sum at or below r.
    const Eigen::VectorXd sums = w.spread * (w.gather.transpose() * Eigen::VectorXd::Ones(all));
    Eigen::VectorXd shrink = Eigen::VectorXd::Ones(all);
    for (Eigen::Index i = 0; i < all; ++i)
        if (sums(i) > r(i))
            shrink(i) = r(i) / sums(i);
    w.spread = shrink.asDiagonal() * w.spread;
    w.gather = shrink.asDiagonal() * w.gather;
    w.diagonal = (r - w.spread * (w.gather.transpose() * Eigen::VectorXd::Ones(all))).cwiseMax(0.0);
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
Redistribution lambertianScattering(const SideLight& down, const SideLight& up, bool aboveKeeps,
                                    int bins) {
    const Eigen::Index n = bins;
    const SideLight& a = aboveKeeps ? down : up;
    const SideLight& b = aboveKeeps ? up : down;
    const Eigen::VectorXd rB = b.rho + b.tau;
    const double across = a.tau.sum(), scatteredB = rB.sum();
    const double crossing = std::min(across, scatteredB);
    const double share = across > 0 ? crossing / across : 0;
    const Eigen::VectorXd keptA = a.rho + (1 - share) * a.tau;
    const Eigen::VectorXd crossingA = share * a.tau;
    const Eigen::Index ia = aboveKeeps ? 0 : n, ib = aboveKeeps ? n : 0;
    // The blocks (A, A) = keptA keptA^T / sum keptA, (A, B) = crossingA rB^T / sum rB,
    // (B, A) its transpose and (B, B) = keptB keptB^T / sum keptB, where keptB is rB times
    // (1 - crossing / sum rB): three columns, as keptB and rB are parallel.
    Redistribution w{Eigen::MatrixXd::Zero(2 * n, 3), Eigen::MatrixXd::Zero(2 * n, 3),
                     Eigen::VectorXd::Zero(2 * n)};
    Eigen::Index rank = 0;
    if (const double total = keptA.sum(); total > 0) {
        w.spread.col(rank).segment(ia, n) = keptA;
        w.gather.col(rank++).segment(ia, n) = keptA / total;
    }
    if (scatteredB > 0) {
        w.spread.col(rank).segment(ia, n) = crossingA;
        w.gather.col(rank++).segment(ib, n) = rB / scatteredB;
        w.spread.col(rank).segment(ib, n) = rB;
        w.gather.col(rank).segment(ia, n) = crossingA / scatteredB;
        w.gather.col(rank++).segment(ib, n) = rB * ((1 - crossing / scatteredB) / scatteredB);
    }
    w.spread.conservativeResize(Eigen::NoChange, rank);
    w.gather.conservativeResize(Eigen::NoChange, rank);
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
    std::vector<double> sharedR;
    const SideLight down =
        fillSide(n1, n2, bins, edges1, edges2, above, c.c12, c.direct, 1, sharedR, true);
    const SideLight up = fillSide(n2, n1, bins, edges2, edges1, below, c.c21, c.direct,
                                  c.backScattered, sharedR, false);
    const bool lambertian =
        (!above || (above->lambertian && !above->specularR && !above->specularT)) &&
        (!below || (below->lambertian && !below->specularR && !below->specularT)) &&
        (above || below);
    // The side that sends less across keeps its split; of equal ones, the side of lower index.
    const double acrossDown = down.tau.sum(), acrossUp = up.tau.sum();
    const bool aboveKeeps = std::abs(acrossDown - acrossUp) <= 1e-9 * (acrossDown + acrossUp)
                                ? a1 <= a2
                                : acrossDown < acrossUp;
    const Redistribution w = lambertian ? lambertianScattering(down, up, aboveKeeps, bins)
                                        : balancedScattering(down, up, above, below, bins);
    const Eigen::Index n = bins;
    // From etendue units to shares of each incoming bin's power.
    Eigen::VectorXd perWidth(2 * n);
    perWidth << down.width.cwiseInverse(), up.width.cwiseInverse();
    // The light entering beyond the other side's directions joins the low-rank part, one
    // column a side: into the other side's most grazing bin from all of this side's bins
    // (in the flat part it would tie the most grazing bin to bins of a far other u).
    Eigen::MatrixXd spread = w.spread, gather = w.gather;
    for (const auto& [side, from, to] :
         {std::tuple{&down, Eigen::Index{0}, 2 * n - 1}, std::tuple{&up, n, n - 1}}) {
        if (side->beyond.sum() <= 0)
            continue;
        spread.conservativeResize(Eigen::NoChange, spread.cols() + 1);
        gather.conservativeResize(Eigen::NoChange, gather.cols() + 1);
        spread.col(spread.cols() - 1).setZero();
        spread(to, spread.cols() - 1) = 1;
        gather.col(gather.cols() - 1).setZero();
        gather.col(gather.cols() - 1).segment(from, n) = side->beyond;
    }
    const auto transmit = [&](const SideLight& side, const Eigen::VectorXd& width) {
        Eigen::SparseMatrix<double> t(n, n);
        t.setFromTriplets(side.transmit.begin(), side.transmit.end());
        return Eigen::SparseMatrix<double>(t * width.cwiseInverse().asDiagonal());
    };
    return {(down.reflect + w.diagonal.head(n)).cwiseQuotient(down.width),
            (up.reflect + w.diagonal.tail(n)).cwiseQuotient(up.width),
            transmit(down, down.width),
            transmit(up, up.width),
            spread,
            perWidth.asDiagonal() * gather,
            (down.rho + down.tau).cwiseQuotient(down.width),
            (up.rho + up.tau).cwiseQuotient(up.width),
            edges1.back(),
            edges2.back()};
}

Eigen::MatrixXd BinInterface::matrix() const {
    const Eigen::Index n = reflectDown.size();
    Eigen::MatrixXd m = spread * gather.transpose();
    m.topLeftCorner(n, n).diagonal() += reflectDown;
    m.bottomRightCorner(n, n).diagonal() += reflectUp;
    m.bottomLeftCorner(n, n) += Eigen::MatrixXd(transmitDown);
    m.topRightCorner(n, n) += Eigen::MatrixXd(transmitUp);
    return m;
}

namespace {

// The light an interface sends up and down for the light `above` coming down onto it and
// `below` coming up.
std::pair<Eigen::VectorXd, Eigen::VectorXd>
leaving(const BinInterface& face, const Eigen::VectorXd& above, const Eigen::VectorXd& below) {
    const Eigen::Index n = above.size();
    const Eigen::VectorXd gathered =
        face.gather.topRows(n).transpose() * above + face.gather.bottomRows(n).transpose() * below;
    return {face.reflectDown.cwiseProduct(above) + face.transmitUp * below +
                face.spread.topRows(n) * gathered,
            face.transmitDown * above + face.reflectUp.cwiseProduct(below) +
                face.spread.bottomRows(n) * gathered};
}

} // namespace

// The light in every layer at once: the unknowns are, per layer l, the light entering it
// at its top (down_l) and at its bottom (up_l), and each interface gives those leaving it
// from those falling on it, A x = f. The flat parts of the interfaces make A_s, a sparse
// matrix (each bin meets only the bins its range of u overlaps) that is factorised once
// (sparse LU); the scattered light adds Y Z^T of rank K (the interfaces' ranks summed), so
// A = A_s - Y Z^T is solved by Woodbury's identity, x = A_s^-1 f + A_s^-1 Y c with the K
// numbers c from (I - Z^T A_s^-1 Y) c = Z^T A_s^-1 f. No dense bins-by-bins matrix is
// formed or inverted: the cost grows with the bins times the layers, times K for the
// scattered light.
BinSolution solveBins(const std::vector<BinInterface>& interfaces,
                      const std::vector<Eigen::VectorXd>& pass, const Eigen::VectorXd& incident,
                      const std::vector<Eigen::VectorXd>& sourceUp,
                      const std::vector<Eigen::VectorXd>& sourceDown) {
    const std::size_t layers = interfaces.size() - 1;
    const Eigen::Index n = incident.size(), unknowns = 2 * n * static_cast<Eigen::Index>(layers);
    // Interface j lies above layer j and below layer j - 1.
    const auto downAt = [n](std::size_t l) { return 2 * n * static_cast<Eigen::Index>(l); };
    const auto upAt = [n](std::size_t l) { return (2 * static_cast<Eigen::Index>(l) + 1) * n; };
    // A bin meets only the bins of the next layers whose ranges of u overlap its own: with
    // the unknowns in the order of u the matrix is banded, and its LU keeps to the band.
    // at[k] is the place of unknown k (downAt, upAt) in that order.
    std::vector<std::pair<double, Eigen::Index>> byU;
    for (std::size_t l = 0; l < layers; ++l)
        for (Eigen::Index i = 0; i < n; ++i) {
            const double s = std::sin((static_cast<double>(i) + 0.5) * kPi / 2 / n);
            const double u = interfaces[l].topBelow * s * s;
            byU.emplace_back(u, downAt(l) + i);
            byU.emplace_back(u, upAt(l) + i);
        }
    std::stable_sort(byU.begin(), byU.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Eigen::Index> at(static_cast<std::size_t>(unknowns));
    for (std::size_t p = 0; p < byU.size(); ++p)
        at[static_cast<std::size_t>(byU[p].second)] = static_cast<Eigen::Index>(p);
    const auto place = [&at](Eigen::Index k) { return at[static_cast<std::size_t>(k)]; };
    Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, Eigen::Index> order(unknowns);
    for (Eigen::Index k = 0; k < unknowns; ++k)
        order.indices()(k) = place(k);

    Eigen::Index rank = 0;
    for (const BinInterface& face : interfaces)
        rank += face.spread.cols();
    // The known light f and the columns of Y side by side.
    Eigen::MatrixXd known = Eigen::MatrixXd::Zero(unknowns, rank + 1);
    std::vector<Eigen::Triplet<double>> entries;
    for (Eigen::Index i = 0; i < unknowns; ++i)
        entries.emplace_back(i, i, 1.0);
    // A_s(row, column) = -share * pass, the light of `column` (natural order) reaching `row`.
    const auto couple = [&](Eigen::Index row, Eigen::Index column, double share,
                            const Eigen::VectorXd& passing, Eigen::Index i) {
        if (share != 0)
            entries.emplace_back(place(row), place(column), -share * passing(i));
    };
    const auto addRows = [&](Eigen::Index first, Eigen::Index column, const auto& values) {
        known.block(first, column, values.rows(), values.cols()) += values;
    };
    // Z^T columns: the scattered light each interface gathers from the layers beside it.
    const auto gathered = [&](const Eigen::MatrixXd& columns) {
        Eigen::MatrixXd g = Eigen::MatrixXd::Zero(rank, columns.cols());
        Eigen::Index k = 0;
        for (std::size_t j = 0; j < interfaces.size(); ++j) {
            const BinInterface& face = interfaces[j];
            const Eigen::Index r = face.spread.cols();
            if (j > 0) // from the layer above, coming down
                g.middleRows(k, r).noalias() += face.gather.topRows(n).transpose() *
                                                pass[j - 1].asDiagonal() *
                                                columns.middleRows(downAt(j - 1), n);
            if (j < layers) // from the layer below, coming up
                g.middleRows(k, r).noalias() += face.gather.bottomRows(n).transpose() *
                                                pass[j].asDiagonal() *
                                                columns.middleRows(upAt(j), n);
            k += r;
        }
        return g;
    };
    Eigen::Index k = 0; // the first column of this interface in Y
    for (std::size_t j = 0; j < interfaces.size(); ++j) {
        const BinInterface& face = interfaces[j];
        const Eigen::Index r = face.spread.cols();
        const bool over = j > 0, under = j < layers; // a layer above, below
        if (over) {
            const Eigen::VectorXd& p = pass[j - 1];
            for (Eigen::Index i = 0; i < n; ++i)
                couple(upAt(j - 1) + i, downAt(j - 1) + i, face.reflectDown(i), p, i);
            for (Eigen::Index i = 0; i < face.transmitDown.outerSize() && under; ++i)
                for (Eigen::SparseMatrix<double>::InnerIterator t(face.transmitDown, i); t; ++t)
                    couple(downAt(j) + t.row(), downAt(j - 1) + i, t.value(), p, i);
            addRows(upAt(j - 1), 0, sourceUp[j]);
            addRows(upAt(j - 1), 1 + k, face.spread.topRows(n));
        }
        if (under) {
            const Eigen::VectorXd& p = pass[j];
            for (Eigen::Index i = 0; i < n; ++i)
                couple(downAt(j) + i, upAt(j) + i, face.reflectUp(i), p, i);
            for (Eigen::Index i = 0; i < face.transmitUp.outerSize() && over; ++i)
                for (Eigen::SparseMatrix<double>::InnerIterator t(face.transmitUp, i); t; ++t)
                    couple(upAt(j - 1) + t.row(), upAt(j) + i, t.value(), p, i);
            addRows(downAt(j), 0, sourceDown[j]);
            if (!over) // the incident light is known
                addRows(downAt(j), 0, leaving(face, incident, Eigen::VectorXd::Zero(n)).second);
            addRows(downAt(j), 1 + k, face.spread.bottomRows(n));
        }
        k += r;
    }
    Eigen::VectorXd solution = Eigen::VectorXd::Zero(unknowns);
    if (unknowns > 0) {
        Eigen::SparseMatrix<double> banded(unknowns, unknowns);
        banded.setFromTriplets(entries.begin(), entries.end());
        Eigen::SparseLU<Eigen::SparseMatrix<double>, Eigen::NaturalOrdering<int>> lu(banded);
        if (lu.info() != Eigen::Success) { // a quantity that is not a number: the run names it
            solution.setConstant(std::numeric_limits<double>::quiet_NaN());
        } else {
            const Eigen::MatrixXd solved =
                order.inverse() * Eigen::MatrixXd(lu.solve(Eigen::MatrixXd(order * known)));
            solution = solved.col(0);
            if (rank > 0) {
                const Eigen::MatrixXd g = gathered(solved); // Z^T A_s^-1 [f, Y]
                const Eigen::MatrixXd capacitance =
                    Eigen::MatrixXd::Identity(rank, rank) - g.rightCols(rank);
                solution += solved.rightCols(rank) * capacitance.partialPivLu().solve(g.col(0));
            }
        }
    }
    const auto light = [&](Eigen::Index first) { return solution.segment(first, n); };
    const Eigen::VectorXd none = Eigen::VectorXd::Zero(n);
    BinSolution out;
    out.reflected =
        leaving(interfaces[0], incident,
                layers > 0 ? Eigen::VectorXd(pass[0].cwiseProduct(light(upAt(0)))) : none)
            .first +
        sourceUp[0];
    for (std::size_t l = 0; l < layers; ++l) {
        out.down.push_back(light(downAt(l)));
        out.up.push_back(light(upAt(l)));
        const Eigen::VectorXd lost = Eigen::VectorXd::Ones(n) - pass[l];
        out.absorbed.push_back(out.down.back().dot(lost) + out.up.back().dot(lost));
    }
    const Eigen::VectorXd arriving =
        layers > 0 ? Eigen::VectorXd(pass[layers - 1].cwiseProduct(out.down.back())) : incident;
    out.transmitted = leaving(interfaces[layers], arriving, none).second + sourceDown[layers];
    return out;
}

} // namespace lumetrix::kernel
