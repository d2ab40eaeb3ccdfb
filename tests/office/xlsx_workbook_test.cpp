// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#ifdef __unix__
#include <signal.h>
#include <sys/resource.h>
#endif

#include "office/ooxml_package.h"
#include "office/xlsx_spreadsheet.h"
#include "office/xlsx_template.h"
#include "package_parts.h"
#include "platform/scratch_folder.h"
#include "platform/xlsx_openpyxl.h"

namespace {

using office::Grid;
using office::Spreadsheet;
using office::startXlsxSpreadsheet;
using office::Workbook;
using office::ooxml::Package;

std::shared_ptr<Spreadsheet> started(const QString& folder) {
    auto session = startXlsxSpreadsheet(folder);
    EXPECT_TRUE(session.ok());
    return session.value();
}

// A workbook as openpyxl makes it: two sheets, a bold font, a filled cell, formulas, a defined
// name and set column widths; the second sheet's tab is the active one.
const QString kMakeWorkbook = QStringLiteral(R"(
import sys, openpyxl
from openpyxl.styles import Font, PatternFill
from openpyxl.workbook.defined_name import DefinedName
wb = openpyxl.Workbook()
summary = wb.active
summary.title = 'Summary'
summary['A1'] = 'Total'
summary['A1'].font = Font(bold=True)
summary['B1'] = '=SUM(Data!B3:D5)'
summary['A2'] = 42
summary.column_dimensions['A'].width = 30
data = wb.create_sheet('Data')
data['A1'] = 'header'
data['B2'] = 'above'
data['C4'] = 'old'
data['C4'].fill = PatternFill('solid', fgColor='FFFF00')
data['E4'] = 'right of the range, longer'
data['B6'] = '=A1&"x"'
data['A3'] = 1.25
data.column_dimensions['B'].width = 20
wb.defined_names.append(DefinedName('Area', attr_text='Data!$B$3:$D$5'))
wb.active = 1
wb.save(sys.argv[1])
)");

// Numbers read the same in every locale the tests run in.
class PointLocale {
public:
    PointLocale() { QLocale::setDefault(QLocale::c()); }
    ~PointLocale() { QLocale::setDefault(QLocale::system()); }
};

TEST(XlsxWorkbook, NewWorkbooksAreNumberedAndReadBackByOpenpyxl) {
    const PointLocale pointLocale;
    ScratchFolder folder;
    folder.writeFile("Book2.xlsx", "taken");
    const auto excel = started(folder.path());
    EXPECT_EQ(excel->WorkbookCount().value(), 0);
    EXPECT_FALSE(excel->ActiveWorkbook().value()) << "a started session has no workbook";

    const auto first = excel->AddWorkbook();
    ASSERT_TRUE(first.ok()) << first.error().description.toStdString();
    EXPECT_EQ(first.value()->FullName().value(), folder.path("Book1.xlsx"));
    EXPECT_TRUE(QFile::exists(folder.path("Book1.xlsx"))) << "saved when added";
    EXPECT_EQ(first.value()->SheetNames().value(), QStringList{"Sheet1"});
    const auto second = excel->AddWorkbook();
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.value()->FullName().value(), folder.path("Book3.xlsx")) << "Book2 is taken";
    EXPECT_EQ(excel->WorkbookCount().value(), 2);
    EXPECT_EQ(excel->ActiveWorkbook().value(), second.value());

    Workbook& book = *first.value();
    // Whether a text is a number is decided cell by cell (see XlsxCells); here, how the file
    // stores each kind.
    const Grid cells = {
        {"TAG", "12", "-3.5", "TRUE"},
        {"say \"hi\" & <go>", "=SUM(A1:A2)", "Grüße €", "  padded  "},
        {"two\nlines", "'quoted", "", "007"},
    };
    ASSERT_TRUE(book.WriteRange(2, 3, cells).ok());
    SKIP_WITHOUT_OPENPYXL();
    EXPECT_EQ(dumpWorkbook(folder.path("Book1.xlsx")),
              "Sheet1!C2 str 'TAG'\nSheet1!D2 int 12\nSheet1!E2 float -3.5\nSheet1!F2 str 'TRUE'\n"
              "Sheet1!C3 str 'say \"hi\" & <go>'\nSheet1!D3 str '=SUM(A1:A2)'\n"
              "Sheet1!E3 str 'Gr\\xfc\\xdfe \\u20ac'\nSheet1!F3 str '  padded  '\n"
              "Sheet1!C4 str 'two\\nlines'\nSheet1!D4 str \"'quoted\"\nSheet1!F4 str '007'");
    // openpyxl takes a string cell that begins with "=" for a formula only if it was stored
    // as one; check the file itself holds no formula at all.
    const auto package = Package::read(folder.path("Book1.xlsx"), office::xlsx::workbookFile());
    ASSERT_TRUE(package.ok());
    EXPECT_FALSE(package.value().part("xl/worksheets/sheet1.xml")->contains("<f>"));
}

class ExistingWorkbook : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveOpenpyxl()) GTEST_SKIP() << "/usr/bin/python3 has no openpyxl to make a workbook";
        path = folder.path("parts list.xlsx");
        ASSERT_EQ(runPython(kMakeWorkbook, {path}), "");
        original = ScratchFolder::readFile(path);
    }
    std::shared_ptr<Workbook> open() const { return excel->OpenWorkbook(path).value(); }

    ScratchFolder folder;
    const std::shared_ptr<Spreadsheet> excel = started(folder.path());
    QString path;
    QByteArray original;
};

TEST_F(ExistingWorkbook, WritingARangeOfTheSecondSheetKeepsEverythingElse) {
    auto opened = excel->OpenWorkbook(path);
    ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
    Workbook& book = *opened.value();
    EXPECT_EQ(book.SheetNames().value(), (QStringList{"Summary", "Data"}));
    const auto missing = book.ActivateSheet("Nowhere");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().number, 9);
    // The active tab stays the active sheet after a failed activation: write there.
    ASSERT_TRUE(
        book.WriteRange(3, 2, {{"1", "two", "3.5"}, {"x", "new", "=A1"}, {"", "", "9"}}).ok());
    const QString after = dumpWorkbook(path);
    EXPECT_EQ(after,
              "Summary!A1 str 'Total'\nSummary!B1 str '=SUM(Data!B3:D5)'\nSummary!A2 int 42\n"
              "Summary width A 30.00\nData!A1 str 'header'\nData!B2 str 'above'\n"
              "Data!A3 float 1.25\nData!B3 int 1\nData!C3 str 'two'\nData!D3 float 3.5\n"
              "Data!B4 str 'x'\nData!C4 str 'new'\nData!D4 str '=A1'\n"
              "Data!E4 str 'right of the range, longer'\nData!D5 int 9\n"
              "Data!B6 str '=A1&\"x\"'\nData width B 20.00");
    // The written cell keeps its fill, the workbook its name and active sheet.
    EXPECT_EQ(runPython(QStringLiteral(R"(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
print(wb['Data']['C4'].fill.fgColor.rgb, wb.defined_names['Area'].attr_text,
      wb['Data']['B6'].data_type, wb['Data']['D4'].data_type, wb.active.title)
)"),
                        {path})
                  .trimmed(),
              "00FFFF00 Data!$B$3:$D$5 f s Data");
    // Every part but the written sheet (and the workbook, told to recalculate) is as it was.
    expectPartsKept(folder.writeFile("before.xlsx", original), path, office::xlsx::workbookFile(),
                    {"xl/worksheets/sheet2.xml", "xl/workbook.xml"});
}

TEST_F(ExistingWorkbook, SheetsAreChosenIgnoringCaseAndColumnsFitTheirTexts) {
    auto book = open();
    EXPECT_EQ(open(), book) << "an open workbook is not read twice";
    EXPECT_EQ(excel->WorkbookCount().value(), 1);
    ASSERT_TRUE(book->ActivateSheet("summary").ok());
    ASSERT_TRUE(
        book->WriteRange(5, 1, {{"a", "b", "c", "d", "e"}, {"1", "2", "3", "4", "5"}}).ok());
    ASSERT_TRUE(book->AutoFitColumns(5, 1, 2, 5).ok());
    ASSERT_TRUE(book->WriteRange(1, 7, {{"a much longer text than the column holds"}}).ok());
    ASSERT_TRUE(book->AutoFitColumns(1, 7, 1, 1).ok());
    // Texts of the shared string table count too; a column range is split around the column.
    ASSERT_TRUE(book->ActivateSheet("DATA").ok());
    ASSERT_TRUE(book->AutoFitColumns(1, 5, 6, 1).ok());
    const QString after = dumpWorkbook(path);
    for (const char* expected :
         {"Summary!A5 str 'a'", "Summary!E5 str 'e'", "Summary!A6 int 1", "Summary!E6 int 5",
          "Summary width A 8.43", "Summary width B 8.43", "Summary width G 45.00",
          "Data!C4 str 'old'", "Data width E 29.60", "Data width B 20.00"}) {
        EXPECT_TRUE(after.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                 << after.toStdString();
    }
    EXPECT_FALSE(after.contains("Summary!F")) << after.toStdString();
}

TEST_F(ExistingWorkbook, EmptyTextsClearCellsAndLongTextsAreCut) {
    auto book = open();
    ASSERT_TRUE(book->WriteRange(2, 2, {{""}, {""}, {"", ""}}).ok());  // B2, B3, B4:C4
    ASSERT_TRUE(book->WriteRange(100, 1, {{"", ""}, {QString(40000, QLatin1Char('w'))}}).ok());
    EXPECT_EQ(runPython(QStringLiteral(R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1])['Data']
print(ws['B2'].value, ws['C4'].value, ws['C4'].fill.fgColor.rgb, len(ws['A101'].value), ws.max_row)
)"),
                        {path})
                  .trimmed(),
              "None None 00FFFF00 32767 101");
    const QByteArray sheet =
        *Package::read(path, office::xlsx::workbookFile()).value().part("xl/worksheets/sheet2.xml");
    EXPECT_FALSE(sheet.contains(R"(r="100")")) << "no row made only to be empty";
    EXPECT_FALSE(sheet.contains(R"(r="B2")")) << "a cleared cell without a style goes";
}

TEST_F(ExistingWorkbook, AFailedSaveReportsAnErrorAndLeavesTheOldFile) {
#ifdef RLIMIT_FSIZE
    {
        // A disk that fills up: no file may grow beyond 1000 bytes while the workbook is saved.
        auto book = open();
        struct sigaction ignore = {}, previous = {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &previous);
        rlimit limit{}, saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        limit = saved;
        limit.rlim_cur = 1000;
        setrlimit(RLIMIT_FSIZE, &limit);
        const auto full = book->WriteRange(1, 1, {{"lost"}});
        setrlimit(RLIMIT_FSIZE, &saved);
        sigaction(SIGXFSZ, &previous, nullptr);
        EXPECT_FALSE(full.ok());
        EXPECT_EQ(ScratchFolder::readFile(path), original);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1) << "no temporary left";
    }
#endif

    // The workbook's folder replaced by a regular file.
    ScratchFolder other;
    const QString inner = other.makeFolder("out");
    ASSERT_TRUE(QFile::copy(path, inner + "/book.xlsx"));
    auto moved = excel->OpenWorkbook(inner + "/book.xlsx").value();
    ASSERT_TRUE(QDir().rename(inner, other.path("kept")));
    other.writeFile("out", "a file where the folder was");
    const auto lost = moved->WriteRange(1, 1, {{"lost"}});
    ASSERT_FALSE(lost.ok());
    EXPECT_TRUE(lost.error().description.contains("book.xlsx"))
        << lost.error().description.toStdString();
    EXPECT_EQ(ScratchFolder::readFile(other.path("kept/book.xlsx")), original);
    EXPECT_EQ(ScratchFolder::readFile(other.path("out")), "a file where the folder was");

    // New workbooks in a folder whose parent is a regular file.
    const auto nowhere = startXlsxSpreadsheet(other.path("out/sub"));
    const auto added = nowhere.value()->AddWorkbook();
    EXPECT_FALSE(added.ok());
    EXPECT_EQ(nowhere.value()->WorkbookCount().value(), 0);
}

TEST(XlsxWorkbook, AChartSheetIsListedAndActivatedButTakesNoCells) {
    ScratchFolder folder;
    Package package = office::xlsx::newWorkbookPackage();
    QByteArray workbook = *package.part("xl/workbook.xml");
    workbook.replace(R"(<sheets>)", R"(<sheets><sheet name="Chart" sheetId="2" r:id="rId9"/>)");
    workbook.replace(R"(activeTab="0")", R"(activeTab="7")");  // out of range: the first sheet
    package.setPart("xl/workbook.xml", workbook);
    QByteArray relationships = *package.part("xl/_rels/workbook.xml.rels");
    relationships.replace(
        "</Relationships>",
        R"(<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/)"
        R"(relationships/chartsheet" Target="/xl/chartsheets/sheet1.xml"/></Relationships>)");
    package.setPart("xl/_rels/workbook.xml.rels", relationships);
    package.setPart("xl/chartsheets/sheet1.xml", "<chartsheet/>");
    const QByteArray bytes = package.zipped().value();
    const QString path = folder.writeFile("chart.xlsx", bytes);
    const auto excel = started(folder.path());
    auto book = excel->OpenWorkbook(path).value();
    EXPECT_EQ(book->SheetNames().value(), (QStringList{"Chart", "Sheet1"}));
    const auto chart = book->WriteRange(1, 1, {{"x"}});
    ASSERT_FALSE(chart.ok()) << "the first tab, the chart, is active";
    EXPECT_TRUE(chart.error().description.contains("Chart"));
    EXPECT_EQ(ScratchFolder::readFile(path), bytes) << "nothing saved";
    ASSERT_TRUE(book->ActivateSheet("sheet1").ok());
    EXPECT_TRUE(book->WriteRange(1, 1, {{"x"}}).ok());
}

TEST(XlsxWorkbook, BrokenWorkbooksAreErrorsNotCrashes) {
    ScratchFolder folder;
    const auto excel = started(folder.path());
    // A good workbook to break in different ways.
    const QString good = excel->AddWorkbook().value()->FullName().value();
    const QByteArray goodBytes = ScratchFolder::readFile(good);
    const Package goodPackage = Package::read(good, office::xlsx::workbookFile()).value();
    const auto repacked = [&](const QString& name, const QByteArray* replacement) {
        Package package = goodPackage;
        if (replacement) {
            package.setPart(name, *replacement);
        } else {
            package.removePart(name);
        }
        return package.zipped().value();
    };
    const QByteArray garbage = "<workbook><sheets><sheet name=";
    const QByteArray notAWorkbook = "<?xml version=\"1.0\"?><chart/>";
    const QByteArray noSheets =
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"/>";
    const struct {
        const char* name;
        QByteArray bytes;
    } broken[] = {
        {"empty", QByteArray()},
        {"text", "just some text, not a zip at all"},
        {"truncated", goodBytes.left(goodBytes.size() / 2)},
        {"tail cut", goodBytes.left(goodBytes.size() - 10)},
        {"no workbook part", repacked("xl/workbook.xml", nullptr)},
        {"garbage workbook", repacked("xl/workbook.xml", &garbage)},
        {"not a workbook", repacked("xl/workbook.xml", &notAWorkbook)},
        {"no sheets", repacked("xl/workbook.xml", &noSheets)},
        {"no sheet part", repacked("xl/worksheets/sheet1.xml", nullptr)},
        {"garbage relationships", repacked("xl/_rels/workbook.xml.rels", &garbage)},
    };
    for (const auto& [name, bytes] : broken) {
        const QString path = folder.writeFile(QString::fromUtf8(name) + ".xlsx", bytes);
        const auto opened = excel->OpenWorkbook(path);
        ASSERT_FALSE(opened.ok()) << name;
        EXPECT_TRUE(opened.error().description.contains(path))
            << name << ": " << opened.error().description.toStdString();
        EXPECT_EQ(ScratchFolder::readFile(path), bytes) << name << ": never changed";
    }
    // Too big to read into memory: refused before reading (the file is sparse, so cheap).
    QFile huge(folder.path("huge.xlsx"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(Package::kMaxFileSize + 1));
    huge.close();
    const auto tooBig = excel->OpenWorkbook(huge.fileName());
    ASSERT_FALSE(tooBig.ok());
    EXPECT_TRUE(tooBig.error().description.contains("too big"));
    EXPECT_FALSE(excel->OpenWorkbook(folder.path("missing.xlsx")).ok());
    EXPECT_EQ(excel->WorkbookCount().value(), 1) << "only the good one";

    // A sheet part that is not XML opens (sheets are read when written) and fails to write.
    const QByteArray badSheet = "<worksheet><sheetData><row r=\"1\"><c";
    const QString sheetPath =
        folder.writeFile("bad sheet.xlsx", repacked("xl/worksheets/sheet1.xml", &badSheet));
    auto book = excel->OpenWorkbook(sheetPath);
    ASSERT_TRUE(book.ok());
    EXPECT_FALSE(book.value()->WriteRange(1, 1, {{"x"}}).ok());
    EXPECT_FALSE(book.value()->AutoFitColumns(1, 1, 1, 1).ok());
    EXPECT_TRUE(book.value()->Close().ok());
    EXPECT_FALSE(book.value()->SheetNames().ok()) << "closed";
    EXPECT_EQ(excel->WorkbookCount().value(), 1);

    // Ranges beyond the sheet's edge.
    auto fresh = excel->OpenWorkbook(good).value();
    EXPECT_FALSE(fresh->WriteRange(1048576, 1, {{"a"}, {"b"}}).ok());
    EXPECT_FALSE(fresh->WriteRange(1, 16384, {{"a", "b"}}).ok());
    EXPECT_TRUE(fresh->WriteRange(1048576, 16384, {{"corner"}}).ok());
    EXPECT_FALSE(fresh->AutoFitColumns(1, 16384, 1, 2).ok());
}

}  // namespace
