// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The pass over a DXF file's groups that keeps the top-level block references and their
// attributes. Returns an empty string on success, otherwise the reason the file is unusable.

#include <QString>

#include "drawing/ascii_tokenizer.h"
#include "drawing/binary_tokenizer.h"
#include "drawing/drawing_model.h"

namespace drawing {

QString parseDxf(AsciiTokenizer& groups, Drawing& drawing);
QString parseDxf(BinaryTokenizer& groups, Drawing& drawing);

}  // namespace drawing
