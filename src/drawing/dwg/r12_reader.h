// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading a DWG file of AutoCAD R2.10 to R12 (AC2.10, AC1003, AC1004, AC1006, AC1009) into the
// reader's model. These releases keep no objects and no handles to link them: the file header
// says where the entity section and the tables (BLOCK, LAYER, STYLE, LTYPE, VIEW) lie, the
// tables are arrays of fixed-size records, and an entity names its layer, linetype and block
// by their index in those arrays. A block reference's attributes follow it in the entity
// section up to a SEQEND, as in DXF.
//
// What is read: the file header, the BLOCK, LAYER and LTYPE tables (names only), the header's
// code page (R11/R12), the entity section and the R11/R12 extra entity section, and in them
// the INSERTs and their ATTRIBs. Erased entities (type byte with its high bit set) are
// passed over, as AutoCAD leaves them out of the DXF form. Block definitions' entities are
// never top level and are not read. R11/R12 records and entities carry a check value; the
// ones read are checked.

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

#include "drawing/drawing_model.h"

namespace drawing::dwg {

// Whether `head` starts with the release string of one of these releases.
bool isR12FamilyRelease(std::string_view head);

// How many bytes from its start the reader needs of a file of `fileSize` bytes that begins
// with `head` (its first 0x480 bytes, or all of a shorter file): up to the end of the last
// table or entity section the header locates. Nothing and `problem` set when one lies
// outside the file.
std::optional<std::uint64_t> r12FileExtent(std::string_view head, std::uint64_t fileSize,
                                           QString& problem);

// Fills `drawing` from the whole file `file`; returns why it cannot, or an empty string.
QString readR12Dwg(std::string_view file, Drawing& drawing, bool verifyCheckValues);

}  // namespace drawing::dwg
