#pragma once

// The classes section: object types above 499 are numbered per drawing, and this section
// says which number stands for which class. The reader only needs LAYOUT's.

#include <string_view>

#include "engine/drawing/dwg/file_header.h"
#include "engine/drawing/dwg/object_reader.h"

namespace drawing::dwg {

// R2000: the type number of the class whose DXF name is `dxfName`, or -1 when the section
// lacks it or cannot be read (the caller then does without).
int findClassNumber(std::string_view file, const SectionLocation& where, std::string_view dxfName);

// R2004 and later: the same from the section's bytes, sentinel first. `maintenance` is the
// file header's maintenance release byte, which decides a field of R2010 and R2013.
int findClassNumber(std::string_view section, Release release, unsigned maintenance,
                    std::string_view dxfName);

}  // namespace drawing::dwg
