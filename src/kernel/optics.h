#pragma once

#include <complex>
#include <vector>

namespace lumetrix::kernel {

using Complex = std::complex<double>;

// How a layer is treated at one wavelength.
enum class Coherence { Coherent, Partial, Incoherent };

struct CoherenceRule {
    double incoherentFactor = 1; // I_factor: multiplies the initial incoherence thickness
    double coherentFactor = 1;   // C_factor: divides it again for the coherence thickness
};

// A layer of thickness d (nm) is incoherent when at least d_incoh = λ² / (2 · 4 nm · n) ·
// I_factor thick, coherent when at most d_incoh / C_factor, partially coherent in between;
// `weight` receives the share of the incoherent treatment (0 coherent .. 1 incoherent), which
// rises linearly with the thickness across the partial zone.
Coherence coherenceOf(double thickness, double wavelength, double n, const CoherenceRule& rule,
                      double* weight = nullptr);

// A layer of the stack at one wavelength: complex index n + ik, thickness in nm, coherence,
// and the number of equal segments its absorption is split into.
struct OpticalLayer {
    Complex index;
    double thickness = 0;
    Coherence coherence = Coherence::Coherent;
    double incoherentWeight = 0; // for a partially coherent layer
    int segments = 1;
};

// The haze of a rough interface for the specular beams at normal incidence: the shares of
// the reflected and the transmitted power that are scattered, for light coming down onto it
// and for light coming up.
// A calibrated interface reflects c12 · R of the light of the beams coming from above
// (c12 itself when `direct`) and c21 · R of those coming from below; what it reflects less,
// it transmits. Within a coherent run one factor must hold for both sides to keep the power,
// so the light falling onto a run from above sees c12 and the light from below c21. It keeps
// the power flow for complex indices too, so no absorption beside it turns negative; between
// absorbing media that limits how little it can reflect (optics.cpp, coefficients()).
struct InterfaceHaze {
    double reflectDown = 0, transmitDown = 0;
    double reflectUp = 0, transmitUp = 0;
    double c12 = 1, c21 = 1;
    bool direct = false;

    bool rough() const { return reflectDown + transmitDown + reflectUp + transmitUp > 0; }
    bool calibrated() const { return c12 != 1 || c21 != 1 || direct; }
};

// What the stack does with unit power falling on it from the top medium.
struct StackOptics {
    double R = 0;                              // specular, reflected into the top medium
    double T = 0;                              // specular, transmitted into the bottom medium
    std::vector<double> A;                     // absorbed from the specular beams, per layer
    std::vector<std::vector<double>> segments; // the same per segment of each layer
    // Power taken from the specular beams at each interface (0 = front, one per layer more)
    // that leaves it scattered, going up into the layer above and down into the layer below.
    std::vector<double> scatteredUp, scatteredDown;
};

// Normal incidence from the top medium onto the layers and the bottom medium (both media
// semi-infinite; the top medium should not absorb). Coherent runs of layers are solved by the
// transfer-matrix method with complex amplitudes; incoherent layers join the runs by their
// intensities: a run returns |r|² into an absorbing incoherent layer, and the interference
// of the waves falling on it and coming back is absorbed in that layer next to the run. A
// partially coherent layer mixes its two treatments by its weight. Energy is conserved by
// construction: R + T + ΣA = 1.
// A rough interface keeps r·sqrt(1 - H_R) and t·sqrt(1 - H_T) of its amplitudes; what the
// beams lose there is handed on as scattered power, so R + T + ΣA + Σ scattered = 1; a haze
// of 1 (no specular beam passes) is allowed.
// `haze` holds one entry per interface, or none for a flat stack.
StackOptics solveStack(Complex top, const std::vector<OpticalLayer>& layers, Complex bottom,
                       double wavelength, const std::vector<InterfaceHaze>& haze = {});

} // namespace lumetrix::kernel
