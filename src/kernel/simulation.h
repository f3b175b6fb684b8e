#pragma once

#include "core/data_file.h"
#include "core/result.h"
#include "kernel/optics.h"
#include "kernel/scattering.h"

#include <Eigen/Dense>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumetrix::kernel {

// A row of the structure as the kernel uses it: the top medium, a layer or the bottom medium.
struct StackRow {
    std::string name; // the layer file name
    double thickness = 0;
    int segments = 1;
    double roughness = 0; // rms of the interface above the row, nm
    bool pvActive = false;
    DataTable nk;
};

// One set of haze parameters: calibration functions (method "c") or haze data ("h").
struct HazeSet {
    bool calibration = true;
    DataTable r, t; // cR and cT, or HR and HT
};

// An ADF of the project: an internal model with its parameters, or an external table.
struct Adf {
    AdfModel model = AdfModel::Lambertian;
    AdfParameters parameters;
    std::vector<double> degrees, intensity; // external when not empty

    std::vector<double> shares(int bins) const;
};

// The ADFs of an interface: ADF1 for light leaving the specular beams, ADF2 for scattered
// light scattered again; each for reflection and transmission. The shares over the angle
// bins are worked out once, when the project is read.
struct InterfaceAdfs {
    Adf adf1R, adf1T, adf2R, adf2T;
    std::vector<double> shares1R, shares1T, shares2R, shares2T;

    void share(int bins);
};

// How the rough interfaces scatter.
struct Scattering {
    HazeSet main, other;
    std::vector<int> otherInterfaces;            // use the other set
    std::vector<int> transmissionOnlyInterfaces; // no scattered reflection of the front beam
    double powerHT = 2;                          // gamma
    InterfaceAdfs adfs;                          // the main ADFs
    std::vector<std::pair<std::vector<int>, InterfaceAdfs>> groups; // interfaces with their own
    int bins = 45;
    double diffuseShare = 0; // of the illumination, entering as scattered light
    Adf spectrumAdf;         // how that diffuse light falls in

    // The ADFs of interface j (0 = front surface): its group's, or the main ones.
    const InterfaceAdfs& adfsOf(int j) const;
};

// The calibration of the total reflectance (R/T page): factors or functions c12 and c21 at
// listed interfaces, the front scaled by c12entire, and the back-side reflectance of
// scattered light raised by c21scatt at listed interfaces.
struct Calibration {
    struct Rule {
        std::vector<int> interfaces;
        double c12 = 1, c21 = 1; // factors
        int f12 = -1, f21 = -1;  // or functions of the wavelength: indices into `functions`
        bool direct = false;
    };
    std::vector<Rule> rules;
    // The files of the rules' functions; indices, not pointers, so a copied Simulation (as the
    // optimisation makes one per evaluation) holds no reference into another.
    std::vector<DataTable> functions;
    double c12entire = 1;
    std::vector<int> backInterfaces;
    double c21scatt = 1;

    bool any() const { return !rules.empty() || c12entire != 1; }
    // c12, c21 and "direct" of interface j at a wavelength (1, 1 and false when none).
    InterfaceHaze at(int j, double wavelength) const;
};

// A project ready to run: its structure with the data it needs, and the wavelength grid.
struct Simulation {
    std::string inputFile;
    std::string outputBase; // output folder and name; the files add their suffixes
    std::vector<StackRow> rows;
    CoherenceRule coherence;
    std::string spectrumName;
    std::vector<double> wavelengths; // nm: the spectrum's points inside every nk range
    std::vector<double> irradiance;  // W/(m^2 nm) at each wavelength
    int anglesPer90 = 45;
    bool anyRough = false;
    Scattering scattering; // read only when an interface is rough or light is diffuse
    Calibration calibration;

    int layerCount() const { return static_cast<int>(rows.size()) - 2; }
    // Whether scattered light has to be followed at all.
    bool scatters() const { return anyRough || scattering.diffuseShare > 0; }
};

// Reads an input file and the data files it needs, and fixes the wavelength grid. The error
// names the file and the line of the first thing wrong.
Result<Simulation> prepareSimulation(const std::string& inputFile);

// What the report must say of a prepared run whose results need reading with care: a top
// medium that absorbs, or too few wavelengths for a photocurrent.
std::vector<std::string> runWarnings(const Simulation& simulation);

// What one wavelength gives: the specular part, and the scattered light's share of R, T and
// the absorption (zero without rough interfaces).
struct WavelengthResult {
    StackOptics specular;
    double diffuseR = 0, diffuseT = 0;
    std::vector<double> diffuseA;                     // per layer
    std::vector<std::vector<double>> diffuseSegments; // per layer and segment
    std::vector<double> hazeR, hazeT;                 // per rough interface, from the front
    Eigen::VectorXd leavingR, leavingT;               // scattered light leaving, per angle bin

    double R() const { return specular.R + diffuseR; }
    double T() const { return specular.T + diffuseT; }
    double A(std::size_t layer) const {
        return specular.A[layer] + (diffuseA.empty() ? 0 : diffuseA[layer]);
    }
};

// Solves one wavelength of the grid.
WavelengthResult solveWavelength(const Simulation& simulation, double wavelength);

// What a run gives at each wavelength.
struct RunResults {
    std::vector<WavelengthResult> optics; // per wavelength
    std::vector<double> jph;              // per layer, mA/cm2
    std::vector<double> jphScattered;     // per layer, the part from scattered light
    double jphR = 0, jphT = 0;            // of the reflected and the transmitted photons
    double jphRScattered = 0, jphTScattered = 0;
    double jphTotal = 0; // over the PV-active layers
    // Why the run could not be completed: a quantity of some wavelength that is not a finite
    // number. The results of the wavelengths before it are handed on; nothing else is valid.
    std::optional<std::string> failure;
};

// Photocurrent density, in mA/cm2, of the photons in a share `fraction[i]` of the spectrum
// at each wavelength, every photon giving one carrier (trapezoid rule over the grid).
double photocurrent(const std::vector<double>& wavelengths, const std::vector<double>& irradiance,
                    const std::vector<double>& fraction);
// The same per nm at one wavelength (mA/(cm2 nm)).
double spectralPhotocurrent(double wavelength, double irradiance, double fraction);

struct RunCallbacks {
    std::function<void(const std::string&)> report;              // a line of the report
    std::function<void(int done, int total)> progress;           // wavelengths finished in order
    std::function<void(int index, const WavelengthResult&)> row; // a wavelength's result, in order
};

// Computes every wavelength, spread over `threads` threads (0: all), handing the results on
// in wavelength order as they finish.
RunResults runSimulation(const Simulation& simulation, int threads, const RunCallbacks& callbacks);

} // namespace lumetrix::kernel
