// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a later release keeps for itself when it saves a drawing down to R13 or R14: the names
// of blocks, layers and linetypes there are upper case (and without blanks), so the name the
// later release shows is kept beside them. It sits in the extension dictionary of the table
// entry, under ACAD_XREC_ROUNDTRIP, in an XRECORD whose items hold, after the marker
// 102 "EXTNAMES", the stored name (group 1) and the shown one (group 2).

#include <cstdint>
#include <string>
#include <string_view>

#include "drawing/dwg/object_reader.h"

namespace drawing::dwg {

inline constexpr std::string_view kRoundTripEntry = "ACAD_XREC_ROUNDTRIP";

// The handle of the entry named `key` of a DICTIONARY object, or 0 when it has none or cannot
// be read.
std::uint64_t dictionaryEntry(const RawObject& dictionary, std::string_view key);

// The shown name an XRECORD of round-trip data gives for the entry stored as `storedName`
// (compared ignoring letter case), as stored (before R2007: in the drawing's code page); empty
// when it gives none or cannot be read.
std::string shownEntryName(const RawObject& xrecord, std::string_view storedName);

}  // namespace drawing::dwg
