// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace drawing {

// A point or direction as a drawing file stores it.
struct Point3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

}  // namespace drawing
