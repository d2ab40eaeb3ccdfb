// SPDX-License-Identifier: GPL-3.0-or-later
// The header row and the cell grid every destination builds from the records.

#include "output/send_grid.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace {

RecordForm form(bool name, bool timestamp, bool cdf, quint8 spaces = 2) {
    RecordForm f;
    f.includeDrawingName = name;
    f.timestamp = timestamp;
    f.commaDelimited = cdf;
    f.spaces = spaces;
    return f;
}

TEST(SendGrid, HeaderLineFollowsTheRecordForm) {
    struct Case {
        RecordForm form;
        bool csv;
        const char* expected;
    } const cases[] = {
        {form(true, true, true), false, "'DRAWING_NAME','TIMESTAMP','TAG','VAL'"},
        {form(true, true, true), true, "\"DRAWING_NAME\",\"TIMESTAMP\",\"TAG\",\"VAL\""},
        {form(false, false, true), false, "'TAG','VAL'"},
        // "Timestamp" left checked while the drawing name is off: the records have no time.
        {form(false, true, true), false, "'TAG','VAL'"},
        {form(false, false, false, 2), false, "TAG  VAL"},
        {form(true, false, false, 1), false, "DRAWING_NAME TAG VAL"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(output::headerLine(c.form, "'TAG','VAL'", c.csv), c.expected) << c.expected;
    }
}

TEST(SendGrid, RowsSplitRecordsExactly) {
    output::DataGrid grid(1, std::vector<QString>(4));
    output::fillGridRow(grid, 0, "'A','','C'");
    EXPECT_EQ(grid[0], (std::vector<QString>{"A", "", "C", ""}));
    output::DataGrid narrow(1, std::vector<QString>(3));
    output::fillGridRow(narrow, 0, "'1','2','3','4','5'");
    EXPECT_EQ(narrow[0], (std::vector<QString>{"1", "2", "3"})) << "fields past the width drop";

    output::SendRequest request;
    request.form = form(false, false, true);
    const output::SendRecords records{{"'A','1'", "'B','2'"}, "'N1','N2','N3','N4','N5'", 4};
    const output::DataGrid withHeader = output::dataGrid(request, records, true);
    ASSERT_EQ(withHeader.size(), 4u) << "header, two records, a spare row";
    EXPECT_EQ(withHeader[0], (std::vector<QString>{"N1", "N2", "N3", "N4"}));
    EXPECT_EQ(withHeader[2], (std::vector<QString>{"B", "2", "", ""}));
    EXPECT_EQ(output::recordWidth(records), 3);
}

}  // namespace
