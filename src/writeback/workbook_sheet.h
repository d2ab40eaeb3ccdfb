// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Edited values in a sheet of an .xlsx workbook.

#include "writeback/edit_table.h"

namespace writeback {

// The used range of `sheet` (found ignoring letter case; empty: the sheet the workbook opens
// at): from the first to the last row and column that hold a value, its first row the header.
// A cell gives the text it shows: its string (shared or inline), its number through its number
// format (shownNumber), TRUE or FALSE; an empty cell is empty. A cell whose shown text cannot
// be known exactly refuses the sheet, naming the cell: a formula whose result was not saved,
// an error value, a number format this reader does not show.
core::Result<EditTable> readWorkbookSheet(const QString& path, const QString& sheet);

}  // namespace writeback
