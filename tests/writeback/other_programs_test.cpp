// SPDX-License-Identifier: GPL-3.0-or-later
// Edited values saved by other programs: delimited text as spreadsheet programs, editors and
// Python's csv module write it, and workbooks made by openpyxl.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string_view>

#include "platform/xlsx_openpyxl.h"
#include "support/files.h"
#include "support/qt_printers.h"
#include "writeback/delimited_file.h"
#include "writeback/workbook_sheet.h"

namespace {

using Rows = std::vector<QStringList>;

class OtherProgramsTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return scratch.filePath(name); }
    QTemporaryDir scratch;
};

TEST_F(OtherProgramsTest, DelimitedTextInEveryFormItComesIn) {
    const std::u16string_view unicode = u"DRAWING_NAME\tTITLE\r\nA.dxf\tGr\u00F6\u00DFe; 1,5\r\n";
    const QByteArray utf16 =
        QByteArray("\xFF\xFE", 2) + QByteArray(reinterpret_cast<const char*>(unicode.data()),
                                               static_cast<qsizetype>(2 * unicode.size()));
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList header;
        Rows rows;
        std::vector<int> lines;
    } cases[] = {
        {"quoted only where needed, a line break in a cell (LibreOffice)",
         "DRAWING_NAME,BLOCK_HANDLE,TITLE,NOTE\n"
         "/p/A-101.dxf,1F,\"Pump \"\"P-1\"\", left\",\"line one\nline two\"\n"
         "/p/B-202.dxf,2A,,007\n",
         {"DRAWING_NAME", "BLOCK_HANDLE", "TITLE", "NOTE"},
         {{"/p/A-101.dxf", "1F", "Pump \"P-1\", left", "line one\nline two"},
          {"/p/B-202.dxf", "2A", "", "007"}},
         {2, 4}},
        {"semicolons named by Excel's sep= line, Windows-1252, a short row",
         "sep=;\r\nDRAWING_NAME;TITLE;REV\r\nA.dxf;Gr\xF6\xDF"
         "e, 3/4\" valve;B\r\nB.dxf;x\r\n",
         {"DRAWING_NAME", "TITLE", "REV"},
         {{"A.dxf", QString::fromUtf8("Größe, 3/4\" valve"), "B"}, {"B.dxf", "x", ""}},
         {3, 4}},
        {"semicolons told from the header",
         "DRAWING_NAME;TITLE\nA.dxf;1,5\n",
         {"DRAWING_NAME", "TITLE"},
         {{"A.dxf", "1,5"}},
         {2}},
        {"tabs, commas and semicolons in values",
         "DRAWING_NAME\tTITLE\tNOTE\nA.dxf\ta, b; c\t\n",
         {"DRAWING_NAME", "TITLE", "NOTE"},
         {{"A.dxf", "a, b; c", ""}},
         {2}},
        {"UTF-16 with a byte order mark (Unicode text)",
         utf16,
         {"DRAWING_NAME", "TITLE"},
         {{"A.dxf", QString::fromUtf8("Größe; 1,5")}},
         {2}},
        {"this program's own lines, blank lines, the header again after an append",
         "\r\n'DRAWING_NAME','TITLE'\r\n'A.DXF','it''s, \"x\"'  \r\n\r\n'DRAWING_NAME','TITLE'\r\n"
         "'B.DXF',''\r\n",
         {"DRAWING_NAME", "TITLE"},
         {{"A.DXF", "it''s, \"x\""}, {"B.DXF", ""}},
         {3, 6}},
        {"a final line without its end, a blank-only row",
         "DRAWING_NAME,TITLE\r\n , \r\nA.dxf,\"x\"",
         {"DRAWING_NAME", "TITLE"},
         {{"A.dxf", "x"}},
         {3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(testfiles::write(path("values.csv"), c.bytes));
        const auto table = writeback::readDelimitedFile(path("values.csv"));
        ASSERT_TRUE(table.ok()) << table.error().description.toStdString();
        EXPECT_EQ(table.value().header, c.header);
        EXPECT_EQ(table.value().rows, c.rows);
        EXPECT_EQ(table.value().rowNumbers, c.lines);
    }
}

TEST_F(OtherProgramsTest, PythonsCsvModule) {
    if (!QFile::exists(kSystemPython)) GTEST_SKIP() << "no " << kSystemPython.toStdString();
    ASSERT_EQ(runPython("import csv, sys\n"
                        "with open(sys.argv[1], 'w', newline='', encoding='utf-8-sig') as f:\n"
                        "    w = csv.writer(f)\n"
                        "    w.writerow(['DRAWING_NAME', 'BLOCK_HANDLE', 'TITLE'])\n"
                        "    w.writerow(['C:\\\\p\\\\A.dxf', '1F', 'two\\r\\nlines, \"quoted\"'])\n"
                        "    w.writerow(['B.dxf', '2A', ' '])\n",
                        {path("py.csv")}),
              "");
    const auto table = writeback::readDelimitedFile(path("py.csv"));
    ASSERT_TRUE(table.ok()) << table.error().description.toStdString();
    EXPECT_EQ(table.value().header, QStringList({"DRAWING_NAME", "BLOCK_HANDLE", "TITLE"}));
    EXPECT_EQ(table.value().rows,
              Rows({{"C:\\p\\A.dxf", "1F", "two\nlines, \"quoted\""}, {"B.dxf", "2A", " "}}));
    EXPECT_EQ(table.value().rowNumbers, std::vector<int>({2, 4}));
}

// A workbook openpyxl makes, its header in B2; then the strings of column C moved into the
// shared string table (openpyxl writes inline strings only), one of them as rich text with a
// phonetic hint, as Excel saves them.
const char* const kOpenpyxlWorkbook = R"py(
import sys, re, zipfile, datetime, openpyxl
wb = openpyxl.Workbook()
wb.active.title = 'Notes'
ws = wb.create_sheet('Parts')
ws['B2'], ws['C2'], ws['D2'], ws['E2'] = 'DRAWING_NAME', 'TITLE', 'NUMBER', 'DATE'
rows = [
    ('A.dxf', 'Shared', 7, datetime.date(2024, 5, 1), 'yyyy-mm-dd'),
    ('B.dxf', 'Rich', 12.5, datetime.date(2024, 12, 24), 'dd-mmm-yyyy'),
    ('C.dxf', '007', 0.1 + 0.2, datetime.datetime(2024, 1, 2, 13, 5, 9), 'd/m/yy h:mm:ss AM/PM'),
    ('D.dxf', None, 1e20, 45000.75, 'hh:mm'),
    ('E.dxf', 'x', 2.5, 0.25, '0%'),
    ('F.dxf', 'y', 1234.5, 1234.5, '#,##0.00'),
    ('G.dxf', 'z', True, 3, '0.00'),
]
for i, (name, title, number, date, fmt) in enumerate(rows, start=3):
    ws.cell(i, 2, name); ws.cell(i, 3, title); ws.cell(i, 4, number)
    ws.cell(i, 5, date).number_format = fmt
ws['B11'] = 'H.dxf'
wb.active = 1
wb.save(sys.argv[1])

z = zipfile.ZipFile(sys.argv[1]); parts = {n: z.read(n) for n in z.namelist()}; z.close()
sheet = [n for n in parts if n.startswith('xl/worksheets/')][1]
strings = []
def shared(m):
    strings.append(m.group(2))
    return '<c r="%s" t="s"><v>%d</v></c>' % (m.group(1), len(strings) - 1)
xml = parts[sheet].decode()
xml = re.sub(r'<c r="(C[0-9]+)" t="inlineStr"><is><t>([^<]*)</t></is></c>', shared, xml)
parts[sheet] = xml.encode()
items = ''.join('<si><t>%s</t></si>' % s if s != 'Rich' else
                '<si><r><t>Ri</t></r><r><rPr><b/></rPr><t>ch</t></r>'
                '<rPh sb="0" eb="1"><t>x</t></rPh></si>' for s in strings)
parts['xl/sharedStrings.xml'] = ('<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/'
                                 '2006/main">%s</sst>' % items).encode()
parts['[Content_Types].xml'] = parts['[Content_Types].xml'].replace(b'</Types>',
    b'<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-'
    b'officedocument.spreadsheetml.sharedStrings+xml"/></Types>')
parts['xl/_rels/workbook.xml.rels'] = parts['xl/_rels/workbook.xml.rels'].replace(
    b'</Relationships>', b'<Relationship Id="rIdS" Type="http://schemas.openxmlformats.org/'
    b'officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
    b'</Relationships>')
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as out:
    for name, data in parts.items():
        out.writestr(name, data)
)py";

TEST_F(OtherProgramsTest, WorkbookOfOpenpyxlShowsEachCellAsASpreadsheetDoes) {
    SKIP_WITHOUT_OPENPYXL();
    const QString book = path("book.xlsx");
    ASSERT_EQ(runPython(kOpenpyxlWorkbook, {book}), "");
    for (const QString sheet : {"Parts", "PARTS", ""}) {  // the active sheet when none is named
        SCOPED_TRACE(sheet.toStdString());
        const auto table = writeback::readWorkbookSheet(book, sheet);
        ASSERT_TRUE(table.ok()) << table.error().description.toStdString();
        EXPECT_EQ(table.value().origin, "book.xlsx, sheet Parts");
        EXPECT_EQ(table.value().header, QStringList({"DRAWING_NAME", "TITLE", "NUMBER", "DATE"}));
        EXPECT_EQ(table.value().rows, Rows({{"A.dxf", "Shared", "7", "2024-05-01"},
                                            {"B.dxf", "Rich", "12.5", "24-Dec-2024"},
                                            {"C.dxf", "007", "0.3", "2/1/24 1:05:09 PM"},
                                            {"D.dxf", "", "1E+20", "18:00"},
                                            {"E.dxf", "x", "2.5", "25%"},
                                            {"F.dxf", "y", "1234.5", "1,234.50"},
                                            {"G.dxf", "z", "TRUE", "3.00"},
                                            {"H.dxf", "", "", ""}}));
        EXPECT_EQ(table.value().rowNumbers, std::vector<int>({3, 4, 5, 6, 7, 8, 9, 11}));
    }
}

}  // namespace
