// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the ATTRIB entities the reader reads sit in a DXF file's bytes, so a writer can change
// their values and copy every other byte. The pass walks the sections the way the reader's
// parser does (the same tokenizers, the same rules for which attributes count), so the n-th
// site found is the reader's n-th attribute. It keeps byte offsets only, no text.

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/result.h"
#include "drawing/drawing_model.h"

namespace drawing {

// One group of a text value: [groupStart, groupEnd) is the whole group (code line and value
// line with their line ends, or code bytes, string and NUL); [valueStart, valueEnd) the value.
struct TextGroupSpan {
    qsizetype groupStart = 0;
    qsizetype valueStart = 0;
    qsizetype valueEnd = 0;
    qsizetype groupEnd = 0;
};

struct AttributeSite {
    std::uint32_t ordinal = 0;  // index in Drawing::attributes
    HandleText handle;
    // Group 1 outside the embedded text; normally one, the reader keeping the last.
    std::vector<TextGroupSpan> values;
    bool embedded = false;  // a 101 "Embedded Object" section follows the attribute's groups
    // The embedded multiline text, groups 3 and 1 in file order.
    std::vector<TextGroupSpan> embeddedText;
};

struct DxfFormat {
    bool binary = false;
    bool wideCodes = true;  // binary: 2-byte group codes (R13 and later)
    std::string release = "AC1009";
    std::string codePage;  // $DWGCODEPAGE as written
};

// Calls `found` for every attribute the reader reads, in the reader's order; the site is only
// valid during the call. Fails when the reader would not read the file.
core::Result<DxfFormat> scanAttributeSites(const QByteArray& dxf,
                                           const std::function<void(const AttributeSite&)>& found);

}  // namespace drawing
