#include "kernel/scattering.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace lumetrix::kernel {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180;

double ellipseRadius(double ratio, double theta) {
    // Polar radius of an ellipse with semi-axis a = 1 along the normal and b = ratio across.
    const double c = std::cos(theta), s = std::sin(theta);
    return ratio / std::sqrt(ratio * ratio * c * c + s * s);
}

// Shares of `count` equal bins of the polar angle for a density over theta (already carrying
// the sin theta of a solid angle where it has one), by Simpson's rule within each bin.
std::vector<double> binShares(const std::function<double(double)>& density, int count) {
    constexpr int kSteps = 64; // even
    const double width = kPi / 2 / count;
    std::vector<double> shares(static_cast<std::size_t>(count));
    double total = 0;
    for (int b = 0; b < count; ++b) {
        const double h = width / kSteps;
        double sum = 0;
        for (int i = 0; i <= kSteps; ++i) {
            const double weight = i == 0 || i == kSteps ? 1 : i % 2 ? 4 : 2;
            sum += weight * density(b * width + i * h);
        }
        shares[static_cast<std::size_t>(b)] = sum * h / 3;
        total += shares[static_cast<std::size_t>(b)];
    }
    for (double& share : shares)
        share = total > 0 ? share / total : 0;
    return shares;
}

// x^gamma, multiplied out for whole and half powers (2, 2.5, 3 are the usual ones; haze is
// evaluated very often).
double power(double x, double gamma) {
    const double twice = 2 * gamma;
    if (twice != std::floor(twice) || twice < 0 || twice > 16)
        return std::pow(x, gamma);
    double p = twice == 2 * std::floor(gamma) ? 1 : std::sqrt(x);
    for (int k = 0; k < static_cast<int>(gamma); ++k)
        p *= x;
    return p;
}

} // namespace

double hazeR(double lambda, double sigma, double cR, double n1, double theta1) {
    const double s = n1 * std::sin(theta1);
    return hazeRAtU(lambda, sigma, cR, n1, s * s);
}

double hazeT(double lambda, double sigma, double cT, double n1, double n2, double theta1,
             double gamma) {
    const double s = n1 * std::sin(theta1);
    return hazeTAtU(lambda, sigma, cT, n1, n2, s * s, gamma);
}

double hazeRAtU(double lambda, double sigma, double cR, double n1, double u) {
    const double x = 4 * kPi * sigma * cR * std::sqrt(std::max(0.0, n1 * n1 - u)) / lambda;
    return 1 - std::exp(-x * x);
}

double hazeTAtU(double lambda, double sigma, double cT, double n1, double n2, double u,
                double gamma) {
    if (u >= n2 * n2 || u >= n1 * n1)
        return 0; // totally reflected: no transmitted light to scatter
    const double x =
        4 * kPi * sigma * cT * std::abs(std::sqrt(n1 * n1 - u) - std::sqrt(n2 * n2 - u)) / lambda;
    return 1 - std::exp(-power(x, gamma));
}

namespace {

// 1 - (1 - H)^scale, exact for H = 1 and accurate for small H.
double scaledHaze(double normal, double scale) {
    if (normal >= 1)
        return 1;
    if (normal <= 0)
        return 0;
    return -std::expm1(std::log1p(-normal) * scale);
}

} // namespace

double dataHazeRAtU(double normal, double nIn, double u) {
    return scaledHaze(normal, std::max(0.0, 1 - u / (nIn * nIn)));
}

double dataHazeTAtU(double normal, double nIn, double nOut, double u, double gamma) {
    if (u >= nOut * nOut || u >= nIn * nIn)
        return 0;
    const double contrast = std::abs(nIn - nOut);
    if (contrast < 1e-9 * std::max(nIn, nOut))
        return scaledHaze(normal, 1 - u / (nIn * nIn));
    const double oblique = std::abs(std::sqrt(nIn * nIn - u) - std::sqrt(nOut * nOut - u));
    return scaledHaze(normal, power(oblique / contrast, gamma));
}

std::vector<double> adfShares(AdfModel model, const AdfParameters& p, int count, int fromBin) {
    count = std::max(1, count);
    const double n = p.lambertianPower, ratio = p.ellipseRatio;
    const auto perSolidAngle = [](double intensity, double theta) {
        return intensity * std::sin(theta);
    };
    switch (model) {
    case AdfModel::Specular: {
        std::vector<double> shares(static_cast<std::size_t>(count), 0.0);
        shares[static_cast<std::size_t>(std::clamp(fromBin, 0, count - 1))] = 1;
        return shares;
    }
    case AdfModel::Lambertian:
        return binShares([&](double t) { return perSolidAngle(std::pow(std::cos(t), n), t); },
                         count);
    case AdfModel::LambertianPerAngle:
        return binShares([&](double t) { return std::pow(std::cos(t), n); }, count);
    case AdfModel::Ellipsoid:
        return binShares([&](double t) { return perSolidAngle(ellipseRadius(ratio, t), t); },
                         count);
    case AdfModel::EllipsoidPerAngle:
        return binShares([&](double t) { return ellipseRadius(ratio, t); }, count);
    case AdfModel::EllipsoidTilted:
        return binShares(
            [&](double t) {
                return perSolidAngle(ellipseRadius(ratio, std::abs(t - 45 * kDegree)), t);
            },
            count);
    case AdfModel::EllipsoidSmoothed:
        return binShares(
            [&](double t) { return perSolidAngle(ellipseRadius(ratio, t) * std::cos(t), t); },
            count);
    case AdfModel::Gaussian: {
        const double w = 30 * kDegree / std::sqrt(std::max(n, 1e-6));
        return binShares([&](double t) { return perSolidAngle(std::exp(-t * t / (2 * w * w)), t); },
                         count);
    }
    case AdfModel::Uniform:
        break;
    }
    return binShares([&](double t) { return perSolidAngle(1, t); }, count);
}

std::vector<double> adfShares(const std::vector<double>& degrees,
                              const std::vector<double>& intensity, int count) {
    const auto at = [&](double theta) {
        const double d = theta / kDegree;
        if (degrees.empty() || d < degrees.front() || d > degrees.back())
            return 0.0;
        const auto upper = std::upper_bound(degrees.begin(), degrees.end(), d);
        if (upper == degrees.end())
            return intensity.back();
        const auto i = static_cast<std::size_t>(upper - degrees.begin());
        const double f = (d - degrees[i - 1]) / (degrees[i] - degrees[i - 1]);
        return intensity[i - 1] + f * (intensity[i] - intensity[i - 1]);
    };
    return binShares([&](double t) { return at(t) * std::sin(t); }, std::max(1, count));
}

} // namespace lumetrix::kernel
