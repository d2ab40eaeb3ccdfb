// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writing a DWG file of release AC1018 (R2004) and later anew around new contents of the two
// sections an attribute edit changes: the objects and the object map. Every other section
// (header variables, classes, preview, summary and application info, the auxiliary header,
// sections this program does not know) is carried over as it is stored.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace drawing::dwg {

// The new decompressed contents of "AcDb:AcDbObjects" and "AcDb:Handles" (see Sections).
struct ChangedSections {
    std::string objects;
    std::string handles;
};

// The file `file` (AC1018, AC1024, AC1027 or AC1032) with its objects and object map
// replaced; nothing and `problem` set when the file cannot be read whole or written back.
std::optional<std::string> rewritePagedFile(std::string_view file, const ChangedSections& sections,
                                            QString& problem);

// Likewise for an AC1021 (R2007) file.
std::optional<std::string> rewriteR2007File(std::string_view file, const ChangedSections& sections,
                                            QString& problem);

}  // namespace drawing::dwg
