// SPDX-License-Identifier: GPL-3.0-or-later
// Records as a grid of cells from a chosen row and column: in a running spreadsheet program, and
// in workbook files read back with openpyxl.

#include <QLocale>

#include "output/sender_fixture.h"
#include "platform/xlsx_openpyxl.h"

namespace {

using output::Destination;
using SpreadsheetSenderTest = SenderTest;

// The decimal character of a default locale, given back afterwards.
class PinnedLocale {
public:
    explicit PinnedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~PinnedLocale() { QLocale::setDefault(QLocale::c()); }
};

// A running program with no workbook open: a new one takes the first send, the active one the
// next.
TEST_F(SpreadsheetSenderTest, RunningProgramsActiveWorkbookTakesTheNextSend) {
    auto running = std::make_shared<fake::MemorySpreadsheet>();
    office = fake::officeOf(running, nullptr, {});
    auto request = to(Destination::Spreadsheet);
    for (const int row : {1, 2}) {
        records.records = {row == 1 ? "'A','1'" : "'B','2'"};
        request.row = row;
        // The running program names its new workbook as it likes.
        EXPECT_EQ(send(request).status, "Data sent to Book1.");
    }
    ASSERT_EQ(running->open.size(), 1u);
    using Cells = std::map<std::pair<int, int>, QString>;
    EXPECT_EQ(running->open[0].second->cells["Sheet1"],
              (Cells{{{1, 1}, "A"}, {{1, 2}, "1"}, {{2, 1}, "B"}, {{2, 2}, "2"}}));
    EXPECT_TRUE(running->visible);
}

TEST_F(SpreadsheetSenderTest, WorkbookThatCannotBeOpenedIsNotReportedAsSent) {
    touch("broken.xlsx", "not a workbook");
    const output::SendResult result = send(to(Destination::Spreadsheet, "broken.xlsx"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.status, "Data not sent to the spreadsheet: the workbook could not be opened.");
    EXPECT_EQ(testfiles::read(path("broken.xlsx")), "not a workbook");
    EXPECT_TRUE(fakes.shell.calls.empty());
}

TEST_F(SpreadsheetSenderTest, WorkbookFilesReadBackWithTheirCells) {
    SKIP_WITHOUT_OPENPYXL();
    // Numbers are read as the user writes them, in a locale with a decimal comma.
    const PinnedLocale german(QLocale(QLocale::German, QLocale::Germany));
    const char* twoSheets = "ws.title = 'Data'\nws['A1'] = 'keep'\nwb.create_sheet('Other')";
    const struct {
        const char* name;
        const char* made;  // openpyxl's lines on the new `wb` and its sheet `ws`; none: no file
        const char* sheet;
        int row, column;
        bool tags, transpose;
        const char* record;  // none: the fixture's two records
        QString status, cells;
    } cases[] = {
        {"a new workbook", nullptr, "", 2, 3, true, false, nullptr, "Data sent to %1.",
         "Sheet1!C2 str 'TAG'\nSheet1!D2 str 'VAL'\nSheet1!C3 str 'A'\nSheet1!D3 int 1\n"
         "Sheet1!C4 str 'B'\nSheet1!D4 int 2"},
        {"transposed: the header down the first column", "ws['A1'] = 'kept'", "", 3, 2, true, true,
         nullptr, "Data sent to %1.",
         "Sheet!A1 str 'kept'\nSheet!B3 str 'TAG'\nSheet!C3 str 'A'\nSheet!D3 str 'B'\n"
         "Sheet!B4 str 'VAL'\nSheet!C4 int 1\nSheet!D4 int 2"},
        {"a sheet that is not there", twoSheets, "Missing", 1, 1, false, false, nullptr,
         "Data not sent to the spreadsheet: sheet Missing not found.", "Data!A1 str 'keep'"},
        {"a sheet in other letter case", twoSheets, "OTHER", 3, 2, false, false, nullptr,
         "Data sent to %1, sheet OTHER.",
         "Data!A1 str 'keep'\nOther!B3 str 'A'\nOther!C3 int 1\nOther!B4 str 'B'\nOther!C4 int 2"},
        {"numbers", "", "", 1, 1, false, false, "'007','1E3','3,5','12','3.5','-0,25','0042-A'",
         "Data sent to %1.",
         "Sheet!A1 str '007'\nSheet!B1 str '1E3'\nSheet!C1 float 3.5\nSheet!D1 int 12\n"
         "Sheet!E1 str '3.5'\nSheet!F1 float -0.25\nSheet!G1 str '0042-A'"},
        {"cells a merge covers", "ws['A2'] = 'merged'\nws.merge_cells('A2:B2')", "", 1, 1, true,
         false, nullptr,
         "Data not sent to the spreadsheet: Cannot write into the merged cells A2:B2: only their "
         "first "
         "cell is shown.",
         "Sheet!A2 str 'merged'"},
    };
    const output::SendRecords two = records;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        forgetWhatWasShown();
        auto request = to(Destination::Spreadsheet);
        if (c.made) {
            request.file = path("book.xlsx");
            ASSERT_EQ(runPython(QStringLiteral("import sys, openpyxl\nwb = openpyxl.Workbook()\n"
                                               "ws = wb.active\n%1\nwb.save(sys.argv[1])")
                                    .arg(c.made),
                                {request.file}),
                      "");
        }
        request.sheet = c.sheet;
        request.row = c.row;
        request.column = c.column;
        request.tags = c.tags;
        request.transpose = c.transpose;
        records = c.record ? output::SendRecords{{c.record}, {}, QString(c.record).count("','") + 2}
                           : two;
        const output::SendResult result = send(request);
        const QString written = c.made ? request.file : path("Book1.xlsx");
        EXPECT_EQ(result.status, QString(c.status).arg(written));
        EXPECT_EQ(dumpWorkbook(written), c.cells);
        EXPECT_EQ(fakes.shell.calls, result.ok ? opened(written) : decltype(fakes.shell.calls){})
            << "shown in the desktop's program once written";
    }
}

}  // namespace
