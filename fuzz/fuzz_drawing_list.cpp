// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the input as a drawing list file line by line the way a run does: the header keyword,
// then each line's kind, a send line's request and a drawing line's parts. Relative paths are
// looked up from the current folder, which tools/fuzz.sh makes an empty one. The run itself
// (which opens drawings, scans folders and writes files the list names) is left out.

#include <cstddef>
#include <cstdint>

#include "batch/list_line.h"
#include "batch/send_line_request.h"
#include "fuzz_input.h"
#include "platform/line_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzz::writeInput(QStringLiteral("list.dlf"), fuzz::bytesOf(data, size));
    platform::LineReader list;
    if (!list.open(path)) __builtin_trap();
    QString line;
    volatile qsizetype total = 0;  // keeps the calls from being optimised away
    while (list.readLine(line)) {
        const QString written = line.trimmed();
        const QString upper = written.toUpper();
        const batch::HeaderOptions header = batch::headerOptions(upper);
        total = total + header.includeName.value_or(0);
        switch (batch::kindOf(upper)) {
            case batch::LineKind::Send:
                if (const auto send = batch::parseSendLine(written)) {
                    const output::SendRequest request =
                        batch::requestFromSendLine(*send, output::SendRequest{});
                    // A start cell is never before the first row or column.
                    if (request.row < 1 || request.column < 1) __builtin_trap();
                    for (int field = 1; field <= send->fields.size(); ++field)
                        total =
                            total + static_cast<qsizetype>(batch::numericValue(send->field(field)));
                    total = total + request.file.size();
                }
                break;
            case batch::LineKind::Drawing: {
                const batch::DrawingLine parts = batch::splitDrawingLine(written);
                if (parts.drawing.size() + parts.templatePath.size() + 1 != written.size())
                    __builtin_trap();
                total = total + batch::fileNameOf(parts.drawing).size();
                break;
            }
            default:
                break;
        }
    }
    return 0;
}
