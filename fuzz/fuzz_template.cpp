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
    // Loading a template never starts the drawing application.
    DrawingSession session(
        []() -> acad::Result<std::shared_ptr<acad::Application>> { __builtin_trap(); }, ui);
    QString error;
    const qint16 result = session.loadTemplate(path, &error);
    if (result == 1) {
        if (!error.isEmpty() || session.tags().isEmpty()) __builtin_trap();
        for (const QString& tag : session.tags()) {
            if (tag.isEmpty() || tag != tag.toUpper()) __builtin_trap();
        }
    } else if (result < -4 || result > 0 || error.isEmpty()) {
        __builtin_trap();
    }
    return 0;
}
