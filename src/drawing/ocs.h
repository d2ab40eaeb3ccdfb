// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "drawing/point.h"

namespace drawing {

// A point in the object coordinate system of `extrusion` (the entity's normal) in world
// coordinates, by the arbitrary axis algorithm of the DXF format.
Point3 ocsToWorld(const Point3& point, const Point3& extrusion);

}  // namespace drawing
