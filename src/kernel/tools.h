#pragma once

#include "core/result.h"

#include <string>
#include <utility>
#include <vector>

namespace lumetrix::kernel {

// The cR_cT transform: the calibration function c(λ) that makes the scalar haze formulas at
// normal incidence give the measured haze for an interface of rms roughness `rms` (nm)
// between the incident medium and the medium in transmission:
//   cR = sqrt(-ln(1 - H_R)) λ / (4 π σ n1)
//   cT = (-ln(1 - H_T))^(1/γ) λ / (4 π σ |n1 - n2|)
// n1, n2 the real indices at λ. A wavelength whose haze is 0 or 1, or where the media have
// no index contrast (cT), or outside the nk data, is skipped and named in the report.
struct TransformRequest {
    bool reflected = true;      // cR from haze of reflected light; false: cT
    std::string hazeFile;       // ".hz"
    double rms = 50;            // nm
    std::string incidentNk;     // ".nk" of the incident medium
    std::string transmissionNk; // ".nk" of the medium in transmission
    double power = 3;           // γ, for cT
    std::string outFile;        // the ".cal" written
};

struct TransformReport {
    double first = 0, last = 0; // the range written, nm
    int points = 0;
    std::vector<std::string> skipped; // "λ nm: why"
};

// Reads the files, computes and writes the calibration file; nothing is written on an error
// or when no wavelength can be used.
Result<TransformReport> transformHaze(const TransformRequest& request);

// The light path improvement factor of a layer: from the absorbed fractions A_ref(λ) and
// A_impr(λ) in two "_ratio.jph" files, LPIF = ln(1 - A_impr) / ln(1 - A_ref), where both lie
// strictly between 0 and 1 and the wavelengths of the reference file are found in the other.
struct LpifRequest {
    std::string reference, improved; // "_ratio.jph" files
    int columnReference = 1;         // columns of the table as the Results page numbers them
    int columnImproved = 1;
    std::string outFile;
};

// The wavelengths of note at which the summary gives the LPIF (nm): they sample the blue, the
// middle and the red of a thin-film absorber's response.
inline constexpr double kLpifWavelengths[] = {400, 500, 600, 700, 800, 1000};

struct LpifSummary {
    double first = 0, last = 0; // range of the wavelengths with an LPIF
    int points = 0;
    int undefined = 0; // wavelengths of both files left out: no LPIF is defined there
    double mean = 0;
    double minimum = 0, minimumAt = 0;
    double maximum = 0, maximumAt = 0;
    // LPIF at each of kLpifWavelengths (interpolated; NaN where outside the range).
    std::vector<std::pair<double, double>> notable;
};

// Reads both files, computes, writes the table (λ, A_ref, A_impr, LPIF) and summarises it.
// A file that holds no table of a "_ratio.jph" file (empty, binary, too short) is refused as
// such.
Result<LpifSummary> computeLpif(const LpifRequest& request);

// The summary as the command reports it, one line each: the range with the mean, minimum and
// maximum, the LPIF at the wavelengths of note, and the wavelengths left out.
std::vector<std::string> lpifReport(const LpifSummary& summary);

} // namespace lumetrix::kernel
