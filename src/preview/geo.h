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

// Ground metres that one turn of Mercator units covers at the latitude.
double metresPerTurn(double latitude);

}  // namespace quillet::preview
