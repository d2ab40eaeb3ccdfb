// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/ocs.h"

#include <cmath>

namespace drawing {

namespace {

Point3 cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

bool normalize(Point3& v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 1e-12) || !std::isfinite(length)) return false;
    v = {v.x / length, v.y / length, v.z / length};
    return true;
}

}  // namespace

Point3 ocsToWorld(const Point3& point, const Point3& extrusion) {
    Point3 n = extrusion;
    // No normal, or the world's own: the coordinates are world coordinates already.
    if (!normalize(n) || (n.x == 0 && n.y == 0 && n.z == 1)) return point;
    constexpr double kThreshold = 1.0 / 64.0;
    Point3 ax = (std::fabs(n.x) < kThreshold && std::fabs(n.y) < kThreshold) ? cross({0, 1, 0}, n)
                                                                             : cross({0, 0, 1}, n);
    if (!normalize(ax)) return point;
    Point3 ay = cross(n, ax);
    if (!normalize(ay)) return point;
    return {point.x * ax.x + point.y * ay.x + point.z * n.x,
            point.x * ax.y + point.y * ay.y + point.z * n.y,
            point.x * ax.z + point.y * ay.z + point.z * n.z};
}

}  // namespace drawing
