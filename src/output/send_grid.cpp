// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/send_grid.h"

#include <algorithm>

#include "engine/record_line.h"
#include "output/csv_line.h"

namespace output {
namespace {

const QString kSeparator = QStringLiteral("','");

}  // namespace

QString headerLine(const RecordForm& form, const QString& header, bool csv) {
    QString line = csv ? csvLine(header) : header;
    const QString quote = csv ? QStringLiteral("\"") : QStringLiteral("'");
    QString labels;
    if (form.includeDrawingName) labels += quote + "DRAWING_NAME" + quote + ",";
    // Records carry the time only behind the drawing name ("Timestamp" is a choice under it): a
    // label without its column would push every heading onto the wrong field.
    if (form.includeDrawingName && form.timestamp) labels += quote + "TIMESTAMP" + quote + ",";
    line = labels + line;
    if (!form.commaDelimited) line = recordline::cdfToSdf(line, form.spaces);
    return line;
}

void fillGridRow(DataGrid& grid, std::size_t row, const QString& line) {
    auto store = [&grid, row](QString field, std::size_t column) {
        if (field.startsWith(QLatin1String(",'"))) field.remove(0, 2);
        if (row < grid.size() && column < grid[row].size()) grid[row][column] = field;
    };
    QString field;
    std::size_t column = 0;
    // The outer quotes are never copied; the two characters after a separator start the next
    // field and are dropped when it is stored.
    for (qsizetype i = 1; i < line.size() - 1; ++i) {
        if (QStringView(line).mid(i, 3) == kSeparator) {
            store(field, column++);
            field.clear();
        } else {
            field += line[i];
        }
    }
    store(field, column);
}

DataGrid dataGrid(const SendRequest& request, const SendRecords& records, bool withHeader) {
    const std::size_t rows =
        static_cast<std::size_t>(records.records.size()) + (withHeader ? 1 : 0) + 1;
    const auto columns = static_cast<std::size_t>(std::max<qint64>(records.maxFields, 0));
    DataGrid grid(rows, std::vector<QString>(columns));
    std::size_t row = 0;
    if (withHeader) fillGridRow(grid, row++, headerLine(request.form, records.header, false));
    for (const QString& record : records.records) fillGridRow(grid, row++, record);
    return grid;
}

int recordWidth(const SendRecords& records) {
    return static_cast<int>(std::max<qint64>(records.maxFields - 1, 0));
}

}  // namespace output
