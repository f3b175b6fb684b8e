#include "kernel/optics.h"

#include "kernel/complex_divide.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumetrix::kernel {
namespace {

constexpr double kPi = std::numbers::pi;

// The amplitude coefficients of an interface from n1 (above) to n2 (below).
struct Coefficients {
    Complex r12, t12, r21, t21;
};

// A calibrated interface is an ideal lossless coupling E2 = a E1, H2 = H1 / a (a > 0 real),
// which keeps Re(E conj H) for any complex indices, so no layer beside it can gain or lose
// power there. With g = a²: r12 = -r21 = (n1 - g n2) / (n1 + g n2),
// t12 = 2 a n1 / (n1 + g n2), t21 = 2 a n2 / (n1 + g n2), and t12 t21 - r12 r21 = 1.
// Its reflectance depends on g only through s = |n1|² / g + |n2|² g, rising with s, so the
// wanted R' (c12 R, or c12 when direct) fixes s and two roots g; the one on the side of
// g* = |n1| / |n2| where g = 1 lies is taken, which for real indices is the Fresnel r scaled
// to sqrt(R'). Below R_min = (|n1||n2| - p) / (|n1||n2| + p), p = Re(n1 conj n2), which g*
// gives, no such coupling reflects less; R_min is 0 for real indices.
Coefficients coefficients(Complex n1, Complex n2, const InterfaceHaze& h) {
    const Complex r = divide(n1 - n2, n1 + n2);
    const Coefficients plain{r, divide(2.0 * n1, n1 + n2), -r, divide(2.0 * n2, n1 + n2)};
    if (!h.direct && h.c12 == 1)
        return plain;
    const double wanted = std::clamp(h.direct ? h.c12 : h.c12 * std::norm(r), 0.0, 1.0);
    const double A = std::norm(n1), B = std::norm(n2), p = std::real(n1 * std::conj(n2));
    const double gStar = std::sqrt(A / B);
    const bool larger = gStar < 1; // g = 1 lies above g*; at g* itself (n1 = n2) below
    if (wanted >= 1) {             // a mirror: g -> infinity or 0
        const double mirror = larger ? -1 : 1;
        return {mirror, 0, -mirror, 0};
    }
    const double s = 2 * p * (1 + wanted) / (1 - wanted);
    double g = gStar;
    if (const double d = s * s - 4 * A * B; d > 0) {
        const double high = (s + std::sqrt(d)) / (2 * B);
        g = larger ? high : A / (B * high); // the roots multiply to A / B
    }
    const double a = std::sqrt(g);
    const Complex sum = n1 + g * n2;
    const Complex r12 = divide(n1 - g * n2, sum);
    return {r12, divide(2 * a * n1, sum), -r12, divide(2 * a * n2, sum)};
}

// A coherent run with unit power falling on it from one side: what is reflected (|r|²),
// what passes, what each segment of each of its layers absorbs, and `standing`: the
// interference of the incident and reflected waves, (1 - |r|²) minus the power entering the
// run, which is absorbed in the medium the light comes from when it absorbs (0 when real).
struct OneWay {
    double R = 0;
    double T = 0;
    double standing = 0;
    std::vector<std::vector<double>> segments;
    std::vector<double> scatteredUp, scatteredDown; // per interface of the run, top first
};

// A run of coherent layers between media a (light comes from there) and b. The reflection
// coefficient is carried up from medium b, then the forward amplitudes down from medium a;
// neither pass divides by a kept amplitude (a rough interface may keep none) and every
// propagation factor e^{iδ} of a passive layer is at most 1, so nothing can overflow.
// The power through each plane is Re(E conj H), E = f + b, H = n (f - b), relative to the
// incident Re(n_a); every absorbed share is the drop of that power across a segment.
OneWay coherentRun(Complex na, const std::vector<const OpticalLayer*>& layers, Complex nb,
                   double wavelength, const std::vector<InterfaceHaze>& haze) {
    const std::size_t count = layers.size();
    const Complex i(0, 1);
    const auto indexOf = [&](std::size_t j) {
        return j == 0 ? na : j == count + 1 ? nb : layers[j - 1]->index;
    };
    // Layer j = 1..count; 0 is medium a, count + 1 medium b (no thickness). Interface j lies
    // below layer j and keeps r sqrt(1 - H_R) and t sqrt(1 - H_T) of its amplitudes.
    // The arrays are the thread's own, kept from one run to the next: a wavelength allocates
    // nothing for them.
    thread_local struct {
        std::vector<Complex> phase, pass, gamma, rho, f;
        std::vector<Coefficients> kept;
        std::vector<double> flux;
    } work;
    auto& [phase, pass, gamma, rho, f, kept, flux] = work;
    phase.assign(count + 2, 0.0);
    pass.assign(count + 2, 1.0);
    kept.resize(count + 1);
    for (std::size_t j = 0; j <= count + 1; ++j) {
        if (j >= 1 && j <= count) {
            phase[j] = 2 * kPi * indexOf(j) * layers[j - 1]->thickness / wavelength;
            pass[j] = std::exp(i * phase[j]);
        }
        if (j > count)
            continue;
        const InterfaceHaze& h = haze[j];
        const Coefficients c = coefficients(indexOf(j), indexOf(j + 1), h);
        kept[j] = {c.r12 * std::sqrt(1 - h.reflectDown), c.t12 * std::sqrt(1 - h.transmitDown),
                   c.r21 * std::sqrt(1 - h.reflectUp), c.t21 * std::sqrt(1 - h.transmitUp)};
    }
    // gamma[j] = b / f at the bottom of layer j, rho[j] at its top; f[j] at its top.
    gamma.assign(count + 2, 0.0);
    rho.assign(count + 2, 0.0);
    f.assign(count + 2, 0.0);
    for (std::size_t j = count + 1; j-- > 0;) {
        const Coefficients& c = kept[j];
        gamma[j] = c.r12 + divide(c.t12 * c.t21 * rho[j + 1], 1.0 - c.r21 * rho[j + 1]);
        rho[j] = gamma[j] * pass[j] * pass[j];
    }
    f[0] = 1;
    for (std::size_t j = 0; j <= count; ++j)
        f[j + 1] = divide(kept[j].t12 * f[j] * pass[j], 1.0 - kept[j].r21 * rho[j + 1]);

    const double incident = na.real();
    // e^{i phase depth} in layer j; at the layer's bottom that is its pass factor.
    const auto wave = [&](std::size_t j, double depth) {
        return depth == 1 ? pass[j] : std::exp(i * phase[j] * depth);
    };
    // Power at a depth (0 top .. 1 bottom) of layer j; the backward wave is taken from the
    // bottom up, so that it too only decays. At the top the forward wave is f itself.
    const auto power = [&](std::size_t j, double depth) {
        const Complex forward = depth == 0 ? f[j] : f[j] * wave(j, depth);
        const Complex backward = gamma[j] * f[j] * wave(j, 2 - depth);
        return std::real((forward + backward) * std::conj(indexOf(j) * (forward - backward))) /
               incident;
    };
    OneWay out;
    out.T = std::max(0.0, std::norm(f[count + 1]) * nb.real() / incident);
    out.segments.resize(count);
    out.scatteredUp.assign(count + 1, 0.0);
    out.scatteredDown.assign(count + 1, 0.0);
    // What a rough interface j takes from the beams (the drop of the power across it) goes
    // up and down in the shares of the scattered reflected and transmitted beams.
    const auto scatter = [&](std::size_t j, double above, double below) {
        const InterfaceHaze& h = haze[j];
        const Complex n1 = indexOf(j), n2 = indexOf(j + 1);
        const Coefficients c = coefficients(n1, n2, h);
        const double down = std::norm(f[j] * pass[j]);
        const double up = std::norm(rho[j + 1] * f[j + 1]);
        const double toUp = h.reflectDown * std::norm(c.r12) * down * n1.real() +
                            h.transmitUp * std::norm(c.t21) * up * n1.real();
        const double toDown = h.transmitDown * std::norm(c.t12) * down * n2.real() +
                              h.reflectUp * std::norm(c.r21) * up * n2.real();
        const double lost = above - below, sum = toUp + toDown;
        out.scatteredUp[j] = sum > 0 ? lost * toUp / sum : lost / 2;
        out.scatteredDown[j] = sum > 0 ? lost * toDown / sum : lost / 2;
    };
    // Across a flat interface a layer's bottom flux is the next one's top flux, so the shares
    // add up exactly. Above a rough or calibrated one it comes from the layer's own
    // amplitudes, so that what the interface takes (scattered light) or any rounding of the
    // calibration never counts as absorbed in the layer.
    const auto own = [&](std::size_t j) { return haze[j].rough() || haze[j].calibrated(); };
    double below = out.T;
    for (std::size_t j = count; j >= 1; --j) {
        const std::size_t parts = static_cast<std::size_t>(std::max(1, layers[j - 1]->segments));
        flux.resize(parts + 1);
        flux[parts] = own(j) ? power(j, 1.0) : below;
        if (haze[j].rough())
            scatter(j, flux[parts], below);
        for (std::size_t s = 0; s < parts; ++s)
            flux[s] = power(j, static_cast<double>(s) / static_cast<double>(parts));
        for (std::size_t s = 0; s < parts; ++s)
            out.segments[j - 1].push_back(flux[s] - flux[s + 1]);
        below = flux[0];
    }
    const double entering = own(0) ? power(0, 0.0) : below; // just above the first interface
    if (haze[0].rough())
        scatter(0, entering, below);
    out.R = std::norm(gamma[0]);
    out.standing = 1 - out.R - entering;
    return out;
}

// A coherent run seen from both sides.
struct Run {
    OneWay down; // light from above
    OneWay up;   // light from below, its layers and segments given top to bottom
};

Run solveRun(Complex above, const std::vector<const OpticalLayer*>& layers, Complex below,
             double wavelength, const std::vector<InterfaceHaze>& haze) {
    Run run;
    run.down = coherentRun(above, layers, below, wavelength, haze);
    // Seen from below, the interfaces come in the other order and their sides swap.
    thread_local std::vector<const OpticalLayer*> reversed;
    thread_local std::vector<InterfaceHaze> flipped;
    reversed.assign(layers.rbegin(), layers.rend());
    flipped.clear();
    for (auto h = haze.rbegin(); h != haze.rend(); ++h)
        flipped.push_back({h->reflectUp, h->transmitUp, h->reflectDown, h->transmitDown, h->c21,
                           h->c12, h->direct});
    run.up = coherentRun(below, reversed, above, wavelength, flipped);
    std::reverse(run.up.segments.begin(), run.up.segments.end());
    for (auto& segments : run.up.segments)
        std::reverse(segments.begin(), segments.end());
    std::reverse(run.up.scatteredUp.begin(), run.up.scatteredUp.end());
    std::reverse(run.up.scatteredDown.begin(), run.up.scatteredDown.end());
    std::swap(run.up.scatteredUp, run.up.scatteredDown);
    return run;
}

// The stack with every layer coherent or incoherent.
StackOptics solveSharp(Complex top, const std::vector<OpticalLayer>& layers, Complex bottom,
                       double wavelength, const std::vector<InterfaceHaze>& haze) {
    // Split into coherent runs between the incoherent layers (and the media).
    std::vector<std::size_t> thick; // indices of the incoherent layers
    for (std::size_t i = 0; i < layers.size(); ++i)
        if (layers[i].coherence == Coherence::Incoherent)
            thick.push_back(i);
    const std::size_t m = thick.size();
    std::vector<Run> runs(m + 1);
    std::vector<std::vector<std::size_t>> members(m + 1);
    std::vector<std::size_t> firstFace(m + 1);
    for (std::size_t e = 0; e <= m; ++e) {
        const std::size_t first = e == 0 ? 0 : thick[e - 1] + 1;
        const std::size_t last = e == m ? layers.size() : thick[e];
        std::vector<const OpticalLayer*> run;
        run.reserve(last - first);
        members[e].reserve(last - first);
        for (std::size_t i = first; i < last; ++i) {
            run.push_back(&layers[i]);
            members[e].push_back(i);
        }
        const Complex above = e == 0 ? top : layers[thick[e - 1]].index;
        const Complex below = e == m ? bottom : layers[thick[e]].index;
        // The run's interfaces are those of the stack from `first` to `last`.
        const std::vector<InterfaceHaze> faces(haze.begin() + static_cast<std::ptrdiff_t>(first),
                                               haze.begin() + static_cast<std::ptrdiff_t>(last) +
                                                   1);
        runs[e] = solveRun(above, run, below, wavelength, faces);
        firstFace[e] = first;
    }
    // Single-pass power transmission of each incoherent layer (index 1..m).
    std::vector<double> pass(m + 2, 1.0);
    for (std::size_t i = 1; i <= m; ++i) {
        const OpticalLayer& layer = layers[thick[i - 1]];
        pass[i] = std::exp(-4 * kPi * layer.index.imag() * layer.thickness / wavelength);
    }
    // lookDown[i]: reflectance seen from inside incoherent layer i looking down.
    std::vector<double> lookDown(m + 2, 0.0);
    if (m >= 1)
        lookDown[m] = runs[m].down.R;
    for (std::size_t i = m; i-- > 1;) {
        const double back = pass[i + 1] * pass[i + 1] * lookDown[i + 1];
        lookDown[i] =
            runs[i].down.R + runs[i].down.T * runs[i].up.T * back / (1 - runs[i].up.R * back);
    }
    // Forward intensity at the top, backward at the bottom of each incoherent layer.
    std::vector<double> forward(m + 2, 0.0), backward(m + 2, 0.0);
    double falling = 1; // onto run e from above
    for (std::size_t i = 1; i <= m; ++i) {
        const double back = pass[i] * pass[i] * lookDown[i];
        forward[i] = runs[i - 1].down.T * falling / (1 - runs[i - 1].up.R * back);
        backward[i] = lookDown[i] * pass[i] * forward[i];
        falling = pass[i] * forward[i];
    }
    StackOptics out;
    std::vector<double> standingTop(m + 2, 0.0), standingBottom(m + 2, 0.0);
    out.A.assign(layers.size(), 0.0);
    out.segments.resize(layers.size());
    out.scatteredUp.assign(layers.size() + 1, 0.0);
    out.scatteredDown.assign(layers.size() + 1, 0.0);
    for (std::size_t e = 0; e <= m; ++e) {
        const double fromAbove = e == 0 ? 1 : pass[e] * forward[e];
        const double fromBelow = e == m ? 0 : pass[e + 1] * backward[e + 1];
        for (std::size_t k = 0; k < runs[e].down.scatteredUp.size(); ++k) {
            out.scatteredUp[firstFace[e] + k] +=
                fromAbove * runs[e].down.scatteredUp[k] + fromBelow * runs[e].up.scatteredUp[k];
            out.scatteredDown[firstFace[e] + k] +=
                fromAbove * runs[e].down.scatteredDown[k] + fromBelow * runs[e].up.scatteredDown[k];
        }
        for (std::size_t k = 0; k < members[e].size(); ++k) {
            const std::size_t i = members[e][k];
            for (std::size_t s = 0; s < runs[e].down.segments[k].size(); ++s)
                out.segments[i].push_back(fromAbove * runs[e].down.segments[k][s] +
                                          fromBelow * runs[e].up.segments[k][s]);
        }
        // Incoherent layer e (1..m) lies above run e, layer e + 1 below it: the interference
        // of the waves falling on the run and coming back is absorbed next to the run.
        if (e >= 1)
            standingBottom[e] = fromAbove * runs[e].down.standing;
        if (e < m)
            standingTop[e + 1] = fromBelow * runs[e].up.standing;
        // The top medium does not absorb: what does not enter the stack is reflected.
        if (e == 0)
            out.R = runs[0].down.R + runs[0].down.standing + runs[0].up.T * fromBelow;
        if (e == m)
            out.T = runs[m].down.T * fromAbove;
    }
    // Beer-Lambert in the incoherent layers, from the top and from the bottom.
    for (std::size_t i = 1; i <= m; ++i) {
        const OpticalLayer& layer = layers[thick[i - 1]];
        const int parts = std::max(1, layer.segments);
        const auto left = [&](double depth) { // share of a single pass left after depth
            return std::pow(pass[i], depth);
        };
        for (int s = 0; s < parts; ++s) {
            const double z1 = static_cast<double>(s) / parts,
                         z2 = static_cast<double>(s + 1) / parts;
            out.segments[thick[i - 1]].push_back(
                forward[i] * (left(z1) - left(z2)) + backward[i] * (left(1 - z2) - left(1 - z1)) +
                (s == 0 ? standingTop[i] : 0) + (s == parts - 1 ? standingBottom[i] : 0));
        }
    }
    for (std::size_t i = 0; i < layers.size(); ++i)
        for (double share : out.segments[i])
            out.A[i] += share;
    return out;
}

void addWeighted(StackOptics& sum, const StackOptics& part, double weight) {
    if (sum.A.empty()) {
        sum.A.assign(part.A.size(), 0.0);
        sum.segments = part.segments;
        for (auto& layer : sum.segments)
            std::fill(layer.begin(), layer.end(), 0.0);
    }
    if (sum.scatteredUp.empty()) {
        sum.scatteredUp.assign(part.scatteredUp.size(), 0.0);
        sum.scatteredDown.assign(part.scatteredDown.size(), 0.0);
    }
    for (std::size_t j = 0; j < part.scatteredUp.size(); ++j) {
        sum.scatteredUp[j] += weight * part.scatteredUp[j];
        sum.scatteredDown[j] += weight * part.scatteredDown[j];
    }
    sum.R += weight * part.R;
    sum.T += weight * part.T;
    for (std::size_t i = 0; i < part.A.size(); ++i) {
        sum.A[i] += weight * part.A[i];
        for (std::size_t s = 0; s < part.segments[i].size(); ++s)
            sum.segments[i][s] += weight * part.segments[i][s];
    }
}

} // namespace

Coherence coherenceOf(double thickness, double wavelength, double n, const CoherenceRule& rule,
                      double* weight) {
    const double incoherent = wavelength * wavelength / (2 * 4 * n) * rule.incoherentFactor;
    const double coherent = incoherent / rule.coherentFactor;
    double share = 0;
    Coherence result = Coherence::Partial;
    if (thickness >= incoherent) {
        share = 1;
        result = Coherence::Incoherent;
    } else if (thickness <= coherent) {
        result = Coherence::Coherent;
    } else {
        share = (thickness - coherent) / (incoherent - coherent);
    }
    if (weight)
        *weight = share;
    return result;
}

StackOptics solveStack(Complex top, const std::vector<OpticalLayer>& layers, Complex bottom,
                       double wavelength, const std::vector<InterfaceHaze>& hazeGiven) {
    const std::vector<InterfaceHaze> haze =
        hazeGiven.empty() ? std::vector<InterfaceHaze>(layers.size() + 1) : hazeGiven;
    std::vector<std::size_t> partial;
    for (std::size_t i = 0; i < layers.size(); ++i)
        if (layers[i].coherence == Coherence::Partial)
            partial.push_back(i);
    if (partial.empty())
        return solveSharp(top, layers, bottom, wavelength, haze);
    // Each partially coherent layer is both coherent and incoherent, by its weight: every
    // combination for a few such layers; beyond that all of them together, by their mean.
    constexpr std::size_t kExactCombinations = 4;
    std::vector<OpticalLayer> sharp = layers;
    StackOptics mixed;
    if (partial.size() <= kExactCombinations) {
        for (unsigned mask = 0; mask < (1u << partial.size()); ++mask) {
            double weight = 1;
            for (std::size_t p = 0; p < partial.size(); ++p) {
                const bool incoherent = (mask >> p) & 1u;
                const double w = layers[partial[p]].incoherentWeight;
                weight *= incoherent ? w : 1 - w;
                sharp[partial[p]].coherence =
                    incoherent ? Coherence::Incoherent : Coherence::Coherent;
            }
            if (weight > 0)
                addWeighted(mixed, solveSharp(top, sharp, bottom, wavelength, haze), weight);
        }
        return mixed;
    }
    double mean = 0;
    for (std::size_t i : partial)
        mean += layers[i].incoherentWeight / static_cast<double>(partial.size());
    for (const Coherence treatment : {Coherence::Coherent, Coherence::Incoherent}) {
        for (std::size_t i : partial)
            sharp[i].coherence = treatment;
        addWeighted(mixed, solveSharp(top, sharp, bottom, wavelength, haze),
                    treatment == Coherence::Incoherent ? mean : 1 - mean);
    }
    return mixed;
}

} // namespace lumetrix::kernel
