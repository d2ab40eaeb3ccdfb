// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Changing attribute values in a DWG file of release R13 to R2018 and nothing else: only the
// changed ATTRIB objects are encoded anew; every other object keeps its bytes, and every
// section this program does not interpret is carried over as stored. R12 and older files are
// refused.

#include <QByteArray>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "drawing/attribute_value_writer.h"

namespace drawing::dwg {

// The same contract as drawing::rewriteAttributeValues for DXF: the new file's bytes, or the
// first edit that cannot be applied with its reason; all or nothing. The new file is read back
// whole, check values verified, before it is returned.
core::Result<QByteArray> rewriteAttributeValues(std::string_view file,
                                                const std::vector<AttributeValueEdit>& edits);

// Whether rewriteAttributeValues would take `edits`: the same refusals, without putting the
// file together (no compression, no read-back), for a plan.
core::Status checkAttributeValues(std::string_view file,
                                  const std::vector<AttributeValueEdit>& edits);

}  // namespace drawing::dwg
