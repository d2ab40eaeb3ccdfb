// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the input as the .docx document a user points at (raw, or as parts zipped here, see
// fuzz_package.h), turns the pages of its first and last sections, puts records at its start as
// lines and at its end as a table, the way a send does, and opens the saved file again: a
// document that opened must still open after a change, and a failure always says why.

#include <cstddef>
#include <cstdint>

#include "fuzz_package.h"
#include "office/docx_document.h"

namespace {

void checkFailure(const office::Error& error) {
    if (error.description.isEmpty()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using office::docx::DocxDocument;
    const QByteArray bytes =
        fuzz::packageBytes(data, size, {QStringLiteral("document"), QStringLiteral(".docx")});
    const QString path = fuzz::writeInput(QStringLiteral("input.docx"), bytes);

    auto opened = DocxDocument::open(path, office::docx::Paper::A4);
    if (!opened) {
        checkFailure(opened.error());
        return 0;
    }
    DocxDocument& document = *opened.value();
    for (const bool atEnd : {false, true}) {
        const auto turned = document.SetLandscape(atEnd);
        if (!turned) checkFailure(turned.error());
    }
    const auto lines = document.InsertBlock(false, QStringLiteral("A,1\r\nB,<2>&\r\n"), 8);
    if (!lines) checkFailure(lines.error());
    const auto table =
        document.InsertTable(true,
                             {{QStringLiteral("DWGNO"), QStringLiteral("TITLE")},
                              {QStringLiteral("12"), QStringLiteral("\xc3\xa9t\xc3\xa9\tlast")}},
                             8, office::TableFormat{true});
    if (!table) checkFailure(table.error());

    auto reopened = DocxDocument::open(path, office::docx::Paper::A4);
    if (!reopened) __builtin_trap();
    return 0;
}
