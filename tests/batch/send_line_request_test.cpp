// SPDX-License-Identifier: GPL-3.0-or-later
// The request a send line makes: its fields replace what they name, the window's values stay
// for the rest.

#include "batch/send_line_request.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace {

using output::Destination;

// The window's request: every value set apart from the defaults, so a kept value shows.
output::SendRequest windowRequest() {
    output::SendRequest request;
    request.file = "/window/file";
    request.sheet = "WSHEET";
    request.table = "WTABLE";
    request.row = 9;
    request.column = 8;
    request.append = true;
    request.transpose = true;
    request.tags = true;
    request.fitColumns = true;
    request.createTable = true;
    return request;
}

struct Expected {
    Destination destination;
    QString file, sheet, table;
    int row, column;
    bool append, transpose, tags, fitColumns, createTable;
};

TEST(SendLineRequest, EachDestinationTakesItsFieldsAndKeepsTheWindowsOtherValues) {
    const QString w = "/window/file";
    struct Case {
        const char* line;
        Expected expected;
    } const cases[] = {
        {"EXTRACT TO FILE /out/a.txt,APPEND",
         {Destination::TextFile, "/out/a.txt", "WSHEET", "WTABLE", 9, 8, true, true, false, true,
          true}},
        {"EXTRACT TO FILE ,,TAGS",
         {Destination::TextFile, w, "WSHEET", "WTABLE", 9, 8, false, true, true, true, true}},
        {"EXTRACT TO FILE /out/a.txt, APPEND",
         {Destination::TextFile, "/out/a.txt", "WSHEET", "WTABLE", 9, 8, false, true, false, true,
          true}},
        {"EXTRACT TO CLIPBOARD",
         {Destination::Clipboard, w, "WSHEET", "WTABLE", 9, 8, true, true, false, true, true}},
        {"EXTRACT TO WORD /out/d.docx,,TABLE,TAGS",
         {Destination::Document, "/out/d.docx", "WSHEET", "WTABLE", 9, 8, false, true, true, true,
          true}},
        {"EXTRACT TO WORD /out/d.docx,APPEND",
         {Destination::Document, "/out/d.docx", "WSHEET", "WTABLE", 9, 8, true, true, false, true,
          false}},
        {"EXTRACT TO WORD ",
         {Destination::Document, "", "WSHEET", "WTABLE", 9, 8, true, true, false, true, true}},
        {"EXTRACT TO EXCEL /out/b.xlsx,SHEET1,3,2",
         {Destination::Spreadsheet, "/out/b.xlsx", "SHEET1", "WTABLE", 3, 2, true, false, false,
          false, true}},
        {"EXTRACT TO EXCEL /out/b.xlsx,SHEET1,3abc,0,TRANSPOSE,ADJUSTCOLS,TAGS",
         {Destination::Spreadsheet, "/out/b.xlsx", "SHEET1", "WTABLE", 3, 8, true, true, true, true,
          true}},
        {"EXTRACT TO EXCEL /out/b.xlsx,SHEET1,70000,300",
         {Destination::Spreadsheet, "/out/b.xlsx", "SHEET1", "WTABLE", 65536, 255, true, false,
          false, false, true}},
        {"EXTRACT TO EXCEL /out/b.xlsx,SHEET1,99999abc,300x",
         {Destination::Spreadsheet, "/out/b.xlsx", "SHEET1", "WTABLE", 65536, 255, true, false,
          false, false, true}},
        {"EXTRACT TO EXCEL /out/b.xlsx,,3,2",
         {Destination::Spreadsheet, "/out/b.xlsx", "", "WTABLE", 9, 8, true, true, false, true,
          true}},
        {"EXTRACT TO ACCESS /out/c.db,PARTS,APPEND,TAGS",
         {Destination::Database, "/out/c.db", "WSHEET", "PARTS", 9, 8, true, true, true, true,
          true}},
        {"EXTRACT TO ACCESS /out/c.db,PARTS",
         {Destination::Database, "/out/c.db", "WSHEET", "PARTS", 9, 8, false, true, true, true,
          true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const auto line = batch::parseSendLine(c.line);
        ASSERT_TRUE(line);
        const output::SendRequest r = batch::requestFromSendLine(*line, windowRequest());
        const Expected& e = c.expected;
        EXPECT_EQ(r.destination, e.destination);
        EXPECT_EQ(r.file, e.file);
        EXPECT_EQ(r.sheet, e.sheet);
        EXPECT_EQ(r.table, e.table);
        EXPECT_EQ(r.row, e.row);
        EXPECT_EQ(r.column, e.column);
        EXPECT_EQ(r.append, e.append);
        EXPECT_EQ(r.transpose, e.transpose);
        EXPECT_EQ(r.tags, e.tags);
        EXPECT_EQ(r.fitColumns, e.fitColumns);
        EXPECT_EQ(r.createTable, e.createTable);
        EXPECT_TRUE(r.fromList);
    }
}

}  // namespace
