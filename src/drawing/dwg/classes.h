// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The classes section: object types above 499 are numbered per drawing, and this section
// says which number stands for which class. The reader needs LAYOUT's, and which classes are
// entities: a custom entity of a vertical product sits in an entity chain like any other.

#include <string_view>
#include <vector>

#include "drawing/dwg/file_header.h"
#include "drawing/dwg/object_reader.h"

namespace drawing::dwg {

// R13 to R2000: the type number of the class whose DXF name is `dxfName`, or -1 when the section
// lacks it or cannot be read (the caller then does without).
int findClassNumber(std::string_view file, const SectionLocation& where, std::string_view dxfName);

// R2004 and later: the same from the section's bytes, sentinel first. `maintenance` is the
// file header's maintenance release byte, which decides a field of R2010 and R2013.
int findClassNumber(std::string_view section, Release release, unsigned maintenance,
                    std::string_view dxfName);

// What the reader needs of the classes: LAYOUT's and XRECORD's numbers (-1 when unknown; a
// later release saving down to R13 or R14 numbers XRECORD as a class) and the entity classes.
// Empty when the section cannot be read.
struct ClassTypes {
    int layout = -1;
    int xrecord = -1;
    std::vector<bool> entities;  // by type number from type::kFirstClass
    bool isEntity(int type) const;
};

ClassTypes readClassTypes(std::string_view file, const SectionLocation& where);
ClassTypes readClassTypes(std::string_view section, Release release, unsigned maintenance);

}  // namespace drawing::dwg
