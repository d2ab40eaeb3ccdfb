#pragma once

// The classes section: object types above 499 are numbered per drawing, and this section
// says which number stands for which class. The reader only needs LAYOUT's.

#include <string_view>

#include "engine/drawing/dwg/file_header.h"

namespace drawing::dwg {

// The type number of the class whose DXF name is `dxfName`, or -1 when the section lacks
// it or cannot be read (the caller then does without).
int findClassNumber(std::string_view file, const SectionLocation& where, std::string_view dxfName);

}  // namespace drawing::dwg
