// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Changing attribute values in a DXF file (ASCII or binary), or a DWG file (dwg/value_writer.h),
// and nothing else: the value group
// of each changed ATTRIB is rewritten in place, and for a multiline attribute its embedded
// text too; every other byte, line ends included, stays as it was.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "core/result.h"

namespace drawing {

// Which attribute: its handle (group 5, as the reader keeps it in AttributeRecord::handle)
// or, when the handle is empty, its ordinal: its index in the reader's Drawing::attributes.
// Only attributes the reader reads can be found: those of references in model space and in
// the paper-space layouts, not those of references nested in other blocks.
struct AttributeLocator {
    QString handle;
    std::uint32_t ordinal = 0;
};

struct AttributeValueEdit {
    AttributeLocator attribute;
    QString value;
};

// The new file's bytes, or the reason nothing could be written: the file is not DXF, or the
// first edit that cannot be applied (attribute not found, a line break for a single-line
// attribute, a character or a length the file cannot hold, two values for one attribute).
// All or nothing. An edit whose value the reader already reads changes no byte; a multiline
// value is read back with each line break as one blank.
core::Result<QByteArray> rewriteAttributeValues(const QByteArray& dxf,
                                                const std::vector<AttributeValueEdit>& edits);

// Whether rewriteAttributeValues would take `edits`, with the same reason when it would not;
// for a DWG file without putting the new file together, which is most of a write's cost.
core::Status checkAttributeValues(const QByteArray& file,
                                  const std::vector<AttributeValueEdit>& edits);

namespace errors {
inline constexpr long kAttributeNotFound = 3010;
inline constexpr long kValueNotWritable = 3011;
}  // namespace errors

}  // namespace drawing
