#pragma once

#include <string>
#include <vector>

namespace lumetrix::kernel {

// Haze of a rough interface of rms roughness sigma (nm) for light going from medium 1 (real
// index n1, angle theta1 from the normal) into medium 2 (n2, theta2 by Snell's law), by
// scalar scattering theory with the calibration functions c (method "c"):
//   H_R = 1 - exp[-(4 pi sigma c_R n1 cos theta1 / lambda)^2]
//   H_T = 1 - exp[-(4 pi sigma c_T |n1 cos theta1 - n2 cos theta2| / lambda)^gamma]
// Beyond the critical angle nothing is transmitted, so H_T is 0.
double hazeR(double lambda, double sigma, double cR, double n1, double theta1);
double hazeT(double lambda, double sigma, double cT, double n1, double n2, double theta1,
             double gamma);
// The same against the invariant u = (n1 sin theta1)^2 = (n2 sin theta2)^2 of the light's
// direction, which refraction keeps: n cos theta = sqrt(n^2 - u). H_T is then the same for
// light crossing either way (as reciprocity asks of scattered transmission).
double hazeRAtU(double lambda, double sigma, double cR, double n1, double u);
double hazeTAtU(double lambda, double sigma, double cT, double n1, double n2, double u,
                double gamma);

// Haze data give H at normal incidence; at invariant u the exponent -ln(1 - H) of the scalar
// formula is scaled as the formula scales it: for reflection by cos^2 theta of the light's
// own side, for transmission by (|n1 cos theta1 - n2 cos theta2| / |n1 - n2|)^gamma (cos^2
// theta of the incoming side when the indices hardly differ). H = 1 stays 1.
double dataHazeRAtU(double normal, double nIn, double u);
double dataHazeTAtU(double normal, double nIn, double nOut, double u, double gamma);

// The angular distribution models of the lists ADF1.dat and ADF2.dat, by their names there.
enum class AdfModel {
    Specular,           // keeps the direction of the light
    Lambertian,         // intensity per solid angle ~ cos^n
    LambertianPerAngle, // "normalised": ~ cos^n per unit polar angle (as an in-plane scan)
    Ellipsoid,          // intensity ~ radius of an ellipse, b along the interface, a normal
    EllipsoidPerAngle,  // "normalised": the same per unit polar angle
    EllipsoidTilted,    // the ellipse's a axis tilted 45 degrees from the normal
    EllipsoidSmoothed,  // the ellipsoid times cos, so that it fades towards grazing angles
    Gaussian,           // ~ exp(-theta^2 / (2 w^2)), w = 30 degrees / sqrt(n)
    Uniform,            // the same intensity in every direction of the half space
};

struct AdfParameters {
    double lambertianPower = 1; // n
    double ellipseRatio = 1;    // b:a
};

// The angle bins of a half space: `count` bins of equal steps in the polar angle from 0 to
// 90 degrees. The share of the scattered power that falls into each bin, summing to 1; a
// specular model puts it all into the bin of `fromBin` (the bin the light came from).
std::vector<double> adfShares(AdfModel model, const AdfParameters& parameters, int count,
                              int fromBin = 0);
// The same for an external ADF given as intensity per solid angle at rising angles (degrees),
// linearly interpolated and 0 beyond its last angle.
std::vector<double> adfShares(const std::vector<double>& degrees,
                              const std::vector<double>& intensity, int count);

} // namespace lumetrix::kernel
