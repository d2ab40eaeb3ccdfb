// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading a drawing file into the reader's model. Files are recognised by their content:
// ASCII DXF, binary DXF; DWG and anything else is a failure with a number from
// reader_errors.h and a description naming the reason.

#include <QString>
#include <cstddef>
#include <memory>
#include <string_view>

#include "core/result.h"
#include "drawing/drawing_model.h"

namespace drawing {

struct ReadOptions {
    // The file is read in chunks of this size; memory stays bounded whatever its size.
    // 1 MiB: the buffer stays in the core's L2 cache while it is parsed.
    std::size_t chunkSize = std::size_t{1} << 20;
};

using DrawingResult = core::Result<std::shared_ptr<const Drawing>>;

// The first line of an ASCII DXF file is a group code: blanks, digits, blanks, a line end.
bool looksLikeAsciiDxf(std::string_view head);

DrawingResult readDrawingFile(const QString& path, const ReadOptions& options = {});
// The same from bytes in memory (tests, fuzzing); `bytes` is only read during the call.
DrawingResult readDrawingBytes(std::string_view bytes, const ReadOptions& options = {});

}  // namespace drawing
