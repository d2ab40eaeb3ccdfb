// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The header row and the cell grid that the destinations share.

#include <QString>
#include <vector>

#include "output/send_request.h"

namespace output {

using DataGrid = std::vector<std::vector<QString>>;

// The header row as the records were formed: drawing-name and timestamp labels first, in CSV
// quotes when `csv`, space-delimited for space-delimited records.
QString headerLine(const RecordForm& form, const QString& header, bool csv);

// Splits a comma-delimited line into `grid[row]`; fields beyond the row's width are dropped.
void fillGridRow(DataGrid& grid, std::size_t row, const QString& line);

// One row per record (the header row first when `withHeader`), as wide as the record list's
// field count, with one spare row at the end.
DataGrid dataGrid(const SendRequest& request, const SendRecords& records, bool withHeader);

// Fields of the widest comma-delimited record.
int recordWidth(const SendRecords& records);

}  // namespace output
