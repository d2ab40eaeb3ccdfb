// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the input bytes as a drawing and walks every reference and attribute, the way the
// engine does. Small chunks make the carry-over between chunks happen on small inputs too.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "drawing/dxf_reader.h"
#include "drawing/reader_objects.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    drawing::ReadOptions options;
    options.chunkSize = size > 0 && (data[0] & 1) ? 64 : 4096;
    auto drawing = drawing::readDrawingBytes(bytes, options);
    if (!drawing) {
        // A failure always says why.
        if (drawing.error().description.isEmpty() || drawing.error().number == 0) __builtin_trap();
        return 0;
    }
    drawingapi::BlockReferences references =
        drawing::blockReferencesOf(drawing.value(), drawingapi::Space::Model);
    const auto paper = drawing::blockReferencesOf(drawing.value(), drawingapi::Space::Paper);
    references.insert(references.end(), paper.begin(), paper.end());
    volatile std::size_t total = 0;  // keeps the walk from being optimised away
    for (const auto& reference : references) {
        total = total + static_cast<std::size_t>(reference->name().value().size());
        total = total + static_cast<std::size_t>(reference->handle().value().size());
        const auto point = reference->insertionPoint().value();
        total = total + (point.x == point.x ? 1u : 0u);  // NaN counts nothing
        const auto attributes = reference->attributes().value();
        for (const auto& attribute : attributes) {
            const QString text = attribute->value().value();
            // A record must stay on one line.
            if (text.contains(u'\n') || text.contains(u'\r')) __builtin_trap();
            total = total + static_cast<std::size_t>(attribute->tag().value().size() + text.size());
        }
    }
    return 0;
}
