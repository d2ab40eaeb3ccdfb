// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "engine/drawing_api/drawing_api.h"

namespace drawing {

// The drawing reader over our own DXF and DWG reading: opening a drawing reads and indexes
// its file. It never writes.
std::shared_ptr<drawingapi::DrawingReader> createDrawingFileReader();

// The factory the engine's sessions are given in the program.
drawingapi::ReaderFactory drawingFileReaderFactory();

}  // namespace drawing
