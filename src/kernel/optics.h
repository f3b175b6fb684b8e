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

// What the stack does with unit power falling on it from the top medium.
struct StackOptics {
    double R = 0;                              // reflected into the top medium
    double T = 0;                              // transmitted into the bottom medium
    std::vector<double> A;                     // absorbed in each layer
    std::vector<std::vector<double>> segments; // absorbed in each segment of each layer
};

// Normal incidence from the top medium onto the layers and the bottom medium (both media
// semi-infinite; the top medium should not absorb). Coherent runs of layers are solved by the
// transfer-matrix method with complex amplitudes; incoherent layers join the runs by their
// intensities. A partially coherent layer mixes its two treatments by its weight. Energy is
// conserved by construction: R + T + ΣA = 1.
StackOptics solveStack(Complex top, const std::vector<OpticalLayer>& layers, Complex bottom,
                       double wavelength);

} // namespace lumetrix::kernel
