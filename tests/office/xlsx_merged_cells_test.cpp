// SPDX-License-Identifier: GPL-3.0-or-later
// Ranges written over merged cells: only the first cell of a merge shows a value, so no value
// may land in the others. Workbooks made and read back by openpyxl.

#include <gtest/gtest.h>

#include "office/xlsx_spreadsheet.h"
#include "platform/scratch_folder.h"
#include "platform/xlsx_openpyxl.h"

namespace {

using office::Grid;

// Two merges: B2:C3 (a block) and E2:E4 (a column).
const QString kMergedWorkbook = QStringLiteral(R"(
import sys, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws['B2'] = 'block'
ws.merge_cells('B2:C3')
ws['E2'] = 'column'
ws.merge_cells('E2:E4')
wb.save(sys.argv[1])
)");

// The merges and values openpyxl reads, and every cell of the file that holds a value, since
// openpyxl itself hides the values of covered cells.
const QString kReadBack = QStringLiteral(R"py(
import sys, re, zipfile, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
cells = ['%s=%s' % (c.coordinate, c.value) for row in ws.iter_rows() for c in row
         if c.value is not None]
xml = zipfile.ZipFile(sys.argv[1]).read('xl/worksheets/sheet1.xml').decode()
stored = re.findall(r'<c r="([A-Z]+[0-9]+)"[^>]*>(?:<v>|<is>)', xml)
print(' '.join(sorted(str(r) for r in ws.merged_cells.ranges)), '|', ' '.join(cells), '|',
      ' '.join(stored))
)py");

TEST(XlsxMergedCells, ValuesForCoveredCellsAreRefusedAndEmptyOnesLeftAlone) {
    SKIP_WITHOUT_OPENPYXL();
    const struct {
        int row, column;
        Grid cells;
        bool refused;
        const char* expected;  // the merge that refuses it, or the cells and stored cells after
    } cases[] = {
        {2, 2, {{"x", "y"}}, true, "B2:C3"},  // a value for C2, covered by B2:C3
        {3, 4, {{"d", "e"}}, true, "E2:E4"},  // a range that only overlaps the merge
        // Values in the first cells, empty ones over the covered cells.
        {2,
         2,
         {{"new", "", "", "top"}, {"", "", "D3", ""}},
         false,
         "B2=new E2=top D3=D3 | B2 E2 D3"},
        {5, 1, {{"A5", "B5"}}, false, "B2=block E2=column A5=A5 B5=B5 | B2 E2 A5 B5"},
    };
    ScratchFolder folder;
    const QString made = folder.path("made.xlsx");
    ASSERT_EQ(runPython(kMergedWorkbook, {made}), "");
    const QByteArray original = ScratchFolder::readFile(made);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        const QString path = folder.writeFile("merged.xlsx", original);
        auto book = office::startXlsxSpreadsheet(folder.path()).value()->OpenWorkbook(path);
        ASSERT_TRUE(book.ok());
        const auto wrote = book.value()->WriteRange(c.row, c.column, c.cells);
        if (c.refused) {
            ASSERT_FALSE(wrote.ok());
            EXPECT_EQ(wrote.error().description,
                      QStringLiteral("Cannot write into the merged cells %1: only their first "
                                     "cell is shown.")
                          .arg(c.expected));
            EXPECT_EQ(ScratchFolder::readFile(path), original) << "the file is untouched";
        } else {
            ASSERT_TRUE(wrote.ok()) << wrote.error().description.toStdString();
            EXPECT_EQ(runPython(kReadBack, {path}).trimmed(),
                      "B2:C3 E2:E4 | " + QString(c.expected));
        }
    }
}

}  // namespace
