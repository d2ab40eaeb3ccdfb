// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "office/xlsx_spreadsheet.h"
#include "platform/scratch_folder.h"
#include "platform/xlsx_openpyxl.h"

namespace {

// A sheet with a table over A1:C3 whose header row names its columns.
const QString kMakeTable = QStringLiteral(R"(
import sys, openpyxl
from openpyxl.worksheet.table import Table
wb = openpyxl.Workbook()
ws = wb.active
ws.append(['Tag', 'Qty', 'Note'])
ws.append(['P-1', 2, 'pump'])
ws.append(['V-2', 5, 'valve'])
ws.add_table(Table(displayName='Parts', ref='A1:C3'))
wb.save(sys.argv[1])
)");

const QString kDumpTable = QStringLiteral(R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
table = ws.tables['Parts']
print([c.name for c in table.tableColumns], [ws.cell(1, n).value for n in range(1, 5)],
      ws['B2'].value)
)");

TEST(XlsxTables, WritingAHeaderRowRenamesTheTableColumns) {
    SKIP_WITHOUT_OPENPYXL();
    ScratchFolder folder;
    const QString path = folder.path("table.xlsx");
    ASSERT_EQ(runPython(kMakeTable, {path}), "");
    const auto excel = office::startXlsxSpreadsheet(folder.path()).value();
    auto book = excel->OpenWorkbook(path).value();
    // The header row, a number, a duplicate, an empty header, and a cell beside the table.
    ASSERT_TRUE(book->WriteRange(1, 2, {{"tag", "12", "beside"}, {"7"}}).ok());
    EXPECT_EQ(runPython(kDumpTable, {path}).trimmed(),
              "['Tag', 'tag2', '12'] ['Tag', 'tag2', '12', 'beside'] 7");
    ASSERT_TRUE(book->WriteRange(1, 1, {{"", "Qty"}}).ok());
    EXPECT_EQ(runPython(kDumpTable, {path}).trimmed(),
              "['Column1', 'Qty', '12'] ['Column1', 'Qty', '12', 'beside'] 7");
    // Rows below the header leave the names alone.
    ASSERT_TRUE(book->WriteRange(2, 1, {{"x", "y", "z"}}).ok());
    EXPECT_EQ(runPython(kDumpTable, {path}).trimmed(),
              "['Column1', 'Qty', '12'] ['Column1', 'Qty', '12', 'beside'] y");
}

}  // namespace
