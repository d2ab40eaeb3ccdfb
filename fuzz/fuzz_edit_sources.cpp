// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the input as a text file of edited values, then tells its columns' layout. A table read
// has every row as wide as its header and rows in file order; written again as CSV with every
// value quoted it reads back the same; its columns lie inside the header. A refusal always says
// why.

#include <cstddef>
#include <cstdint>
#include <set>

#include "fuzz_input.h"
#include "writeback/delimited_file.h"
#include "writeback/edit_columns.h"

namespace {

void appendCsvLine(QString& csv, const QStringList& values) {
    for (qsizetype i = 0; i < values.size(); ++i) {
        QString value = values[i];
        value.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        csv += (i ? QStringLiteral(",\"") : QStringLiteral("\"")) + value + QLatin1Char('"');
    }
    csv += QStringLiteral("\r\n");
}

void checkColumns(const writeback::EditTable& table) {
    const auto columns = writeback::editColumns(table);
    if (!columns) {
        if (columns.error().description.isEmpty()) __builtin_trap();
        return;
    }
    const writeback::EditColumns& c = columns.value();
    const auto width = static_cast<int>(table.header.size());
    std::set<int> used;
    auto place = [&](int column, bool required) {
        if (column < 0) {
            if (required) __builtin_trap();
            return;
        }
        if (column >= width || !used.insert(column).second) __builtin_trap();
    };
    place(c.drawing, true);
    place(c.handle, c.layout == writeback::EditLayout::ByReference);
    if (c.layout == writeback::EditLayout::ByDrawing && c.handle >= 0) __builtin_trap();
    place(c.space, false);
    place(c.blockName, false);
    place(c.effectiveName, false);
    if (c.tags.empty() || c.tags.size() != c.tagOccurrences.size() ||
        c.tags.size() != static_cast<std::size_t>(c.tagNames.size())) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < c.tags.size(); ++i) {
        place(c.tags[i], true);
        if (c.tagOccurrences[i] < 0) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = fuzz::writeInput(QStringLiteral("values.csv"), fuzz::bytesOf(data, size));
    const auto read = writeback::readDelimitedFile(path);
    if (!read) {
        if (read.error().description.isEmpty()) __builtin_trap();
        return 0;
    }
    const writeback::EditTable& table = read.value();
    if (table.header.isEmpty() || table.rows.size() != table.rowNumbers.size()) __builtin_trap();
    int previous = 0;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        if (table.rows[r].size() != table.header.size()) __builtin_trap();
        if (table.rowNumbers[r] <= previous) __builtin_trap();
        previous = table.rowNumbers[r];
    }

    QString csv;
    appendCsvLine(csv, table.header);
    for (const QStringList& row : table.rows) appendCsvLine(csv, row);
    const auto again = writeback::parseDelimitedText(csv, table.origin);
    if (!again || again.value().header != table.header || again.value().rows != table.rows) {
        __builtin_trap();
    }
    checkColumns(table);
    return 0;
}
