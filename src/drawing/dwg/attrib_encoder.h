// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One ATTRIB object encoded anew with other texts: every field but the value is copied bit for
// bit from the object as stored; the object's size, where its handle references start and its
// check value follow from the new texts.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "drawing/dwg/object_reader.h"

namespace drawing::dwg {

// The texts of an attribute as the file stores them: before R2007 bytes of the drawing's code
// page, from R2007 UTF-8 (stored as UTF-16).
struct AttribTexts {
    std::string value;
    // R2018 multiline attributes: the embedded text; `value` then is its first line.
    std::string multiline;
};

// The ATTRIB at `offset` of `objects` with `texts`, whole as the file holds an object: its
// size, its data and its check value. Nothing, and `problem` set, when the object is not an
// attribute, cannot be read or cannot hold the texts.
std::optional<std::string> reencodeAttrib(std::string_view objects, std::uint32_t offset,
                                          Release release, const AttribTexts& texts,
                                          QString& problem);

}  // namespace drawing::dwg
