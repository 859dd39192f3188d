// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The earth as the preview measures and draws it: a sphere, Web Mercator.

namespace quillet::preview {

inline constexpr double kEarthRadiusMetres = 6371008.8;  // the mean radius
inline constexpr double kMercatorLatitudeLimit = 85.0511287798066;

// The great-circle distance between two points given in degrees (haversine).
double greatCircleMetres(double latitude1, double longitude1, double latitude2, double longitude2);

// The Mercator ordinate of a latitude in degrees, in turns (the equator's length is 1),
// growing to the south. Latitudes beyond the Mercator range are held at its edge.
double mercatorY(double latitude);
// The latitude in degrees of a Mercator ordinate.
double latitudeOfMercatorY(double y);

// A point's latitude and longitude in radians, with the cosine of its latitude.
struct SpherePoint {
    double phi = 0;
    double lambda = 0;
    double cosPhi = 1;
};

SpherePoint spherePoint(double latitude, double longitude);

// The great-circle distance of a step between two points. Steps shorter than about
// 600 m, a track's usual, take the local flat-earth formula, which agrees with the
// great circle to a micrometre there and needs no further trigonometry.
double stepMetres(const SpherePoint& a, const SpherePoint& b);

// Ground metres that one turn of Mercator units covers at the latitude.
double metresPerTurn(double latitude);

}  // namespace quillet::preview
