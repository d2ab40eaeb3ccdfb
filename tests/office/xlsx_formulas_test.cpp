// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/xlsx_formulas.h"

#include <gtest/gtest.h>

#include <tuple>

#include "office/xlsx_spreadsheet.h"
#include "office/xlsx_template.h"
#include "platform/scratch_folder.h"
#include "platform/xlsx_openpyxl.h"

namespace {

using namespace office::xlsx;

TEST(XlsxFormulas, RelativeReferencesMoveAndTheRestStays) {
    const struct {
        const char* formula;
        int rows, columns;
        const char* expected;
    } cases[] = {
        {"A1*2", 2, 0, "A3*2"},
        {"SUM(B2:C3)+$A$1", 1, 1, "SUM(C3:D4)+$A$1"},
        {"$A1+A$1", 3, 3, "$A4+D$1"},
        {"Data!B3+'My Sheet'!C4", 1, 0, "Data!B4+'My Sheet'!C5"},
        {"\"A1 stays\"&A1", 1, 0, "\"A1 stays\"&A2"},
        {"\"say \"\"B2\"\"\"&B2", 0, 1, "\"say \"\"B2\"\"\"&C2"},
        {"LOG10(A1)+ATAN2(1,2)", 1, 0, "LOG10(A2)+ATAN2(1,2)"},
        {"SUM(A:A)+SUM(2:3)+SUM($B:B)", 1, 1, "SUM(B:B)+SUM(3:4)+SUM($B:C)"},
        {"1.5E+3+1E5*Area", 4, 4, "1.5E+3+1E5*Area"},
        {"Table1[[#This Row],[A1]]+A1", 1, 0, "Table1[[#This Row],[A1]]+A2"},
        {"A1-1", -1, 0, "#REF!-1"},
        {"'it''s'!A1", 1, 0, "'it''s'!A2"},
        {"\"unterminated", 1, 1, "\"unterminated"},
        {"[", 1, 1, "["},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shiftedFormula(c.formula, c.rows, c.columns), c.expected) << c.formula;
    }
}

// A workbook made by hand: a namespace prefix on every element, rows and cells without their
// optional references, a shared formula filled down column B, and a formula of its own.
const char kHandMadeSheet[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<x:sheetData>)"
    R"(<x:row><x:c><x:v>1</x:v></x:c><x:c><x:f t="shared" ref="B1:B4" si="0">A1*2</x:f><x:v>2</x:v></x:c></x:row>)"
    R"(<x:row><x:c><x:v>2</x:v></x:c><x:c><x:f t="shared" si="0"/><x:v>4</x:v></x:c></x:row>)"
    R"(<x:row><x:c><x:v>3</x:v></x:c><x:c><x:f t="shared" si="0"/><x:v>6</x:v></x:c></x:row>)"
    R"(<x:row r="4"><x:c r="A4"><x:v>4</x:v></x:c><x:c r="B4"><x:f t="shared" si="0"/><x:v>8</x:v></x:c>)"
    R"(<x:c r="D4"><x:f>A4+1</x:f><x:v>5</x:v></x:c><x:extLst/></x:row>)"
    R"(</x:sheetData></x:worksheet>)";

TEST(XlsxFormulas, OverwritingTheFirstCellOfASharedFormulaKeepsTheOthers) {
    ScratchFolder folder;
    Package package = newWorkbookPackage();
    package.setPart("xl/worksheets/sheet1.xml", kHandMadeSheet);
    const QString path = folder.writeFile("hand made.xlsx", package.zipped().value());
    const auto excel = office::startXlsxSpreadsheet(folder.path()).value();
    auto book = excel->OpenWorkbook(path);
    ASSERT_TRUE(book.ok()) << book.error().description.toStdString();
    ASSERT_TRUE(book.value()->WriteRange(1, 2, {{"x"}, {"y"}}).ok());
    ASSERT_TRUE(book.value()->WriteRange(2, 3, {{"between"}}).ok());
    ASSERT_TRUE(book.value()->WriteRange(4, 4, {{"7", "after"}}).ok());
    SKIP_WITHOUT_OPENPYXL();
    EXPECT_EQ(dumpWorkbook(path),
              "Sheet1!A1 int 1\nSheet1!B1 str 'x'\nSheet1!A2 int 2\nSheet1!B2 str 'y'\n"
              "Sheet1!C2 str 'between'\nSheet1!A3 int 3\nSheet1!B3 str '=A3*2'\nSheet1!A4 int 4\n"
              "Sheet1!B4 str '=A4*2'\nSheet1!D4 int 7\nSheet1!E4 str 'after'");
    const auto saved = Package::read(path, workbookFile()).value();
    const QByteArray sheet = *saved.part("xl/worksheets/sheet1.xml");
    EXPECT_TRUE(sheet.contains(R"(<x:f t="shared" si="0" ref="B3:B4">A3*2</x:f>)")) << sheet.data();
    EXPECT_TRUE(sheet.contains(R"(<x:t>after</x:t></x:is></x:c><x:extLst/></x:row>)"))
        << sheet.data();
}

TEST(XlsxFormulas, PartOfAnArrayFormulaCannotBeChanged) {
    ScratchFolder folder;
    Package package = newWorkbookPackage();
    package.setPart(
        "xl/worksheets/sheet1.xml",
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<sheetData><row r="1"><c r="A1"><v>1</v></c>)"
        R"(<c r="B1"><f t="array" ref="B1:B2">A1:A2*2</f><v>2</v></c></row>)"
        R"(<row r="2"><c r="A2"><v>2</v></c><c r="B2"><v>4</v></c></row>)"
        R"(</sheetData></worksheet>)");
    const QString path = folder.writeFile("array.xlsx", package.zipped().value());
    const QByteArray before = ScratchFolder::readFile(path);
    const auto excel = office::startXlsxSpreadsheet(folder.path()).value();
    auto book = excel->OpenWorkbook(path).value();
    for (const auto& [row, column, cells] : std::vector<std::tuple<int, int, office::Grid>>{
             {2, 2, {{"x"}}}, {1, 1, {{"x", "y"}}}, {2, 1, {{"a", "b", "c"}, {"d"}}}}) {
        const auto refused = book->WriteRange(row, column, cells);
        ASSERT_FALSE(refused.ok()) << row << "," << column;
        EXPECT_EQ(refused.error().number, 1004);
    }
    EXPECT_EQ(ScratchFolder::readFile(path), before) << "nothing written";
    ASSERT_TRUE(book->WriteRange(1, 3, {{"beside"}}).ok());
    ASSERT_TRUE(book->WriteRange(1, 2, {{"x"}, {"y"}}).ok()) << "the whole array may change";
    const QByteArray sheet =
        *Package::read(path, workbookFile()).value().part("xl/worksheets/sheet1.xml");
    EXPECT_FALSE(sheet.contains("<f")) << sheet.data();
}

}  // namespace
