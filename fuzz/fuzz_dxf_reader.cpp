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
    drawing::ReaderSelectionSet set(drawing.value());
    if (!set.Select(acad::kSelectAll, {0}, {QVariant(QStringLiteral("INSERT"))})) __builtin_trap();
    volatile std::size_t total = 0;  // keeps the walk from being optimised away
    for (int i = 0; i < set.Count(); ++i) {
        const auto reference = set.Item(i).value();
        total = total + static_cast<std::size_t>(reference->Name().value().size());
        total = total + static_cast<std::size_t>(reference->Handle().value().size());
        const auto point = reference->InsertionPoint().value();
        total = total + (point.x == point.x ? 1u : 0u);  // NaN counts nothing
        const auto attributes = reference->GetAttributes().value();
        for (const auto& attribute : attributes) {
            const QString text = attribute->TextString().value();
            // A record must stay on one line.
            if (text.contains(u'\n') || text.contains(u'\r')) __builtin_trap();
            total = total +
                    static_cast<std::size_t>(attribute->TagString().value().size() + text.size());
        }
    }
    return 0;
}
