// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/automation/automation.h"

namespace drawing {

// A point in the object coordinate system of `extrusion` (the entity's normal) in world
// coordinates, by the arbitrary axis algorithm of the DXF format.
acad::Point3 ocsToWorld(const acad::Point3& point, const acad::Point3& extrusion);

}  // namespace drawing
