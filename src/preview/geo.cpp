// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/geo.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quillet::preview {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;

}  // namespace

double greatCircleMetres(double latitude1, double longitude1, double latitude2, double longitude2) {
    const double phi1 = latitude1 * kRadiansPerDegree;
    const double phi2 = latitude2 * kRadiansPerDegree;
    const double sinHalfPhi = std::sin((phi2 - phi1) / 2);
    const double sinHalfLambda = std::sin((longitude2 - longitude1) * kRadiansPerDegree / 2);
    const double h =
        sinHalfPhi * sinHalfPhi + std::cos(phi1) * std::cos(phi2) * sinHalfLambda * sinHalfLambda;
    return 2 * kEarthRadiusMetres * std::asin(std::sqrt(std::min(1.0, h)));
}

double mercatorY(double latitude) {
    const double phi =
        std::clamp(latitude, -kMercatorLatitudeLimit, kMercatorLatitudeLimit) * kRadiansPerDegree;
    return -std::log(std::tan(std::numbers::pi / 4 + phi / 2)) / (2 * std::numbers::pi);
}

SpherePoint spherePoint(double latitude, double longitude) {
    const double phi = latitude * kRadiansPerDegree;
    return {phi, longitude * kRadiansPerDegree, std::cos(phi)};
}

double stepMetres(const SpherePoint& a, const SpherePoint& b) {
    constexpr double kShort = 1e-4;  // radians
    const double dPhi = b.phi - a.phi;
    const double dLambda = b.lambda - a.lambda;
    if (std::abs(dPhi) < kShort && std::abs(dLambda) < kShort) {
        const double east = dLambda * (a.cosPhi + b.cosPhi) / 2;
        return kEarthRadiusMetres * std::sqrt(dPhi * dPhi + east * east);
    }
    const double sinHalfPhi = std::sin(dPhi / 2);
    const double sinHalfLambda = std::sin(dLambda / 2);
    const double h = sinHalfPhi * sinHalfPhi + a.cosPhi * b.cosPhi * sinHalfLambda * sinHalfLambda;
    return 2 * kEarthRadiusMetres * std::asin(std::sqrt(std::min(1.0, h)));
}

double latitudeOfMercatorY(double y) {
    return (2 * std::atan(std::exp(-y * 2 * std::numbers::pi)) - std::numbers::pi / 2) /
           kRadiansPerDegree;
}

double metresPerTurn(double latitude) {
    const double phi =
        std::clamp(latitude, -kMercatorLatitudeLimit, kMercatorLatitudeLimit) * kRadiansPerDegree;
    return 2 * std::numbers::pi * kEarthRadiusMetres * std::cos(phi);
}

}  // namespace quillet::preview
