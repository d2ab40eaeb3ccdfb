// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The entity types the reader keeps: block references (INSERT, MINSERT) and their
// attributes (ATTRIB).

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/dwg/object_reader.h"
#include "drawing/point.h"

namespace drawing::dwg {

struct InsertObject {
    EntityCommon common;
    Point3 ocsPoint;
    Point3 extrusion{0, 0, 1};
    double xScale = 1;
    double yScale = 1;
    double zScale = 1;
    double rotation = 0;  // radians
    bool hasAttributes = false;
    int columns = 1;
    int rows = 1;
    std::uint64_t block = 0;  // its BLOCK_HEADER
    // Up to R2000: the first and last of its attributes, linked by the entity chain between.
    std::uint64_t firstAttribute = 0;
    std::uint64_t lastAttribute = 0;
    // R2004 and later: every attribute it owns, in order.
    std::vector<std::uint64_t> ownedAttributes;
};

// `object` is an INSERT or a MINSERT.
bool readInsert(const RawObject& object, InsertObject& out);

struct AttribObject {
    EntityCommon common;
    std::string tag;         // as stored: the drawing's code page, UTF-8 from R2007
    std::string value;       // likewise
    bool multiline = false;  // R2018: the value is multiline text, formatting and all
    // Where the texts lie, for writing a new value: the value's field (R2018 multiline: the
    // single-line one) and the embedded text's, in the data (up to R2004) or the string
    // stream; and where the object says where its handle references start.
    BitSpan valueField;
    BitSpan multilineField;
    std::size_t handleStreamField = kNoField;
};

bool readAttrib(const RawObject& object, AttribObject& out);

// Only the common entity part, for following an entity chain through any entity type.
bool readEntityLinks(const RawObject& object, EntityCommon& out);

}  // namespace drawing::dwg
