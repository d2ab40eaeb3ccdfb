// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writing attribute values into an R13, R14 or R2000 file (AC1012, AC1014, AC1015), whose
// sections lie in the file as written: the new attributes go after the last object, the object
// map follows them, and what lay after the old map (the free-space section, the second file
// header, the preview where AutoCAD put it last) moves along; the file header, the second file
// header and the preview's own table say where things now lie. No other byte changes.

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/dwg/objects_edit.h"

namespace drawing::dwg {

std::optional<std::string> rewriteFlatFile(std::string_view file, Release release,
                                           const std::vector<AttribEdit>& edits, QString& problem);

}  // namespace drawing::dwg
