// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the input bytes as a DWG file twice: through the public entry point, whose check
// values stop nearly every mutation early, and straight through the DWG reader with the check
// values off, so mutations reach the page maps, the decompressors, the object map and the
// object parsers. Either way the reader must fail with a reason or give a consistent drawing.
// An input that does not start with a readable release string is read as R2000, so the
// seeds of every release (AC2.10, AC1003 to AC1009 and AC1012 to AC1032) keep their own
// reader.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "drawing/dwg/dwg_reader.h"
#include "drawing/dxf_reader.h"
#include "drawing/reader_objects.h"

namespace {

void walk(const std::shared_ptr<const drawing::Drawing>& drawing) {
    for (const std::uint32_t index : drawing->enumeration) {
        if (index >= drawing->inserts.size()) __builtin_trap();
        const drawing::InsertRecord& r = drawing->inserts[index];
        if (std::size_t{r.firstAttribute} + r.attributeCount > drawing->attributes.size())
            __builtin_trap();
    }
    drawingapi::BlockReferences references =
        drawing::blockReferencesOf(drawing, drawingapi::Space::Model);
    const auto paper = drawing::blockReferencesOf(drawing, drawingapi::Space::Paper);
    references.insert(references.end(), paper.begin(), paper.end());
    volatile std::size_t total = 0;  // keeps the walk from being optimised away
    for (const auto& reference : references) {
        total = total + static_cast<std::size_t>(reference->name().value().size());
        const auto attributes = reference->attributes().value();
        for (const auto& attribute : attributes) {
            const QString text = attribute->value().value();
            // A record must stay on one line.
            if (text.contains(u'\n') || text.contains(u'\r')) __builtin_trap();
            total = total + static_cast<std::size_t>(text.size());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.size() >= 6 && !drawing::dwg::isReadableRelease(bytes))
        std::memcpy(bytes.data(), "AC1015", 6);

    auto checked = drawing::readDrawingBytes(bytes);
    if (checked) {
        walk(checked.value());
    } else if (checked.error().description.isEmpty() || checked.error().number == 0) {
        __builtin_trap();
    }

    auto unchecked = std::make_shared<drawing::Drawing>();
    drawing::dwg::DwgOptions options;
    options.verifyCheckValues = false;
    if (drawing::dwg::readDwg(bytes, *unchecked, options).isEmpty()) walk(unchecked);
    return 0;
}
