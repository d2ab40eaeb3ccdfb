// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the input as the .xlsx workbook a user points at (raw, or as parts zipped here, see
// fuzz_package.h), writes a header row and a record into its active sheet the way a send does,
// fits the columns, and opens the saved file again: a workbook that opened must still open
// after a write, and a failure always says why.

#include <cstddef>
#include <cstdint>

#include "fuzz_package.h"
#include "office/xlsx_workbook.h"

namespace {

void checkFailure(const office::Error& error) {
    if (error.description.isEmpty()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using office::xlsx::XlsxWorkbook;
    const QByteArray bytes =
        fuzz::packageBytes(data, size, {QStringLiteral("workbook"), QStringLiteral(".xlsx")});
    const QString path = fuzz::writeInput(QStringLiteral("input.xlsx"), bytes);

    auto opened = XlsxWorkbook::open(path, QLatin1Char('.'));
    if (!opened) {
        checkFailure(opened.error());
        return 0;
    }
    XlsxWorkbook& workbook = *opened.value();
    const auto names = workbook.SheetNames();
    if (!names) {
        checkFailure(names.error());
        return 0;
    }
    // The last sheet may be a chart sheet or hidden: writing there must fail cleanly too.
    if (!names.value().isEmpty()) {
        const auto activated = workbook.ActivateSheet(names.value().last());
        if (!activated) checkFailure(activated.error());
    }
    const office::Grid cells = {{QStringLiteral("DWGNO"), QStringLiteral("TITLE"), QString()},
                                {QStringLiteral("12.5"), QStringLiteral("=A1&\"<x>\""),
                                 QStringLiteral("\xc3\xa9t\xc3\xa9")}};
    const auto written = workbook.WriteRange(2, 3, cells);
    if (!written) {
        checkFailure(written.error());
        return 0;
    }
    const auto fitted = workbook.AutoFitColumns(2, 3, 2, 3);
    if (!fitted) checkFailure(fitted.error());
    const auto closed = workbook.Close();
    if (!closed) checkFailure(closed.error());

    auto reopened = XlsxWorkbook::open(path, QLatin1Char('.'));
    if (!reopened) __builtin_trap();
    return 0;
}
