// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Tables of a worksheet (<table> parts): the names of a table's columns are the texts of its
// header row, so a write into a header row renames the columns, as typing there does.

#include <vector>

#include "office/spreadsheet.h"
#include "office/xlsx_cells.h"

namespace office::xlsx {

struct HeaderCell {
    CellPosition position;
    QString text;
};

// Renames the columns of `table` whose header cells the write of `cells` at `origin` covered:
// an empty header becomes "Column<n>", a name already taken gets a number. Returns every
// header cell the write covered with the text it must hold (always text, never a number).
std::vector<HeaderCell> renameTableColumns(pugi::xml_node table, CellPosition origin,
                                           const Grid& cells);

}  // namespace office::xlsx
