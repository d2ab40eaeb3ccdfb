// SPDX-License-Identifier: GPL-3.0-or-later
// Loads the input as a template file into a drawing session: any bytes give one of the
// template results, a failure says why, and a template that loads has its tags.

#include <cstddef>
#include <cstdint>

#include "engine/drawing_session.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path =
        fuzz::writeInput(QStringLiteral("template.txt"), fuzz::bytesOf(data, size));
    QuietEngineUi ui;
    // Loading a template never creates the drawing reader.
    DrawingSession session(
        []() -> core::Result<std::shared_ptr<drawingapi::DrawingReader>> { __builtin_trap(); }, ui);
    const core::Status loaded = session.loadTemplate(path);
    if (loaded) {
        if (session.tags().isEmpty()) __builtin_trap();
        for (const QString& tag : session.tags()) {
            if (tag.isEmpty() || tag != tag.toUpper()) __builtin_trap();
        }
    } else if (loaded.error().description.isEmpty()) {
        __builtin_trap();
    }
    return 0;
}
