#pragma once

#include <algorithm>
#include <cmath>
#include <complex>

namespace lumetrix::kernel {

// a / b rounded exactly as the library's complex division rounds it (Smith's method: divide
// through by the larger part of b), but inline. The library call also rescales operands by
// powers of two near the ends of the exponent range and repairs infinities and NaN; for
// nonzero parts within 2^-200 .. 2^200 no product below underflows or overflows, so that
// rescaling cannot change a bit, and the call (a tenth of a flat stack's optics) is saved.
// Other operands still go to the library.
inline std::complex<double> divide(std::complex<double> a, std::complex<double> b) {
    const double ar = a.real(), ai = a.imag(), br = b.real(), bi = b.imag();
    const auto plain = [](double x) {
        return x == 0 || (std::abs(x) > 0x1p-200 && std::abs(x) < 0x1p200);
    };
    if (!(plain(ar) && plain(ai) && plain(br) && plain(bi) && (br != 0 || bi != 0)))
        return a / b;
    if (std::abs(br) < std::abs(bi)) {
        const double ratio = br / bi, denominator = br * ratio + bi;
        return {(ar * ratio + ai) / denominator, (ai * ratio - ar) / denominator};
    }
    const double ratio = bi / br, denominator = bi * ratio + br;
    return {(ai * ratio + ar) / denominator, (ai - ar * ratio) / denominator};
}

} // namespace lumetrix::kernel
