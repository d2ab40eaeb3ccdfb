// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// New values for attributes at the level every DWG layout shares: the objects and the object
// map. The attributes are encoded anew and appended after the objects; their old copies stay
// where they were, unreferenced, so no other object moves.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/dwg/attrib_encoder.h"
#include "drawing/dwg/object_map.h"

namespace drawing::dwg {

struct AttribEdit {
    std::uint64_t handle = 0;
    AttribTexts texts;
};

struct EditedObjects {
    std::string objects;  // the old objects, then the new attributes
    std::string map;      // the object map pointing at the new attributes
};

// `objects` holds the bytes the map's offsets count from (the file's start up to the object
// map in R13 to R2000, the objects section after). Nothing, and `problem` set, when an
// attribute is not in the map or cannot be encoded anew.
std::optional<EditedObjects> editAttributes(std::string_view objects, ObjectMap map,
                                            Release release, const std::vector<AttribEdit>& edits,
                                            QString& problem);

}  // namespace drawing::dwg
