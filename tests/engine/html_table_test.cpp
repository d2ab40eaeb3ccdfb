// SPDX-License-Identifier: GPL-3.0-or-later
// The HTML table and page writer: markup of every style setting, escaping, and the page file
// itself.

#include "engine/html_table.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/files.h"
#include "support/qt_printers.h"
#include "support/recording_engine_ui.h"

namespace {

// A table of the texts given, row by row.
class Grid : public TextTable {
public:
    Grid(std::vector<QStringList> rows) : m_rows(std::move(rows)) {}
    qint64 rowCount() const override { return static_cast<qint64>(m_rows.size()); }
    int columnCount() const override {
        return m_rows.empty() ? 0 : static_cast<int>(m_rows.front().size());
    }
    QString text(qint64 row, int column, const QLocale&) const override {
        return m_rows[static_cast<std::size_t>(row)].value(column);
    }

private:
    std::vector<QStringList> m_rows;
};

class HtmlTable : public ::testing::Test {
protected:
    QString path() const { return dir.filePath("attr.htm"); }

    QTemporaryDir dir;
    fake::RecordingEngineUi ui;
};

TEST_F(HtmlTable, EverySettingInTheMarkup) {
    HtmlTableStyle style;
    style.tableAlign = HtmlAlign::Right;
    style.background = "paper.png";
    style.backgroundColor = "#FFD700";
    style.border = 3;
    style.borderColor = "black";
    style.cellSpacing = 4;
    style.cellPadding = 5;
    style.widthPercent = 50;
    style.cellAlign = HtmlAlign::Center;
    style.wrapCellData = false;
    style.boldFirstRow = true;
    style.boldLastRow = true;
    style.boldFirstColumn = true;
    const QString header =
        "<TR ALIGN=CENTER NOWRAP><TD><STRONG>Tag</STRONG></TD><TD><STRONG>"
        "Value</STRONG></TD><TD><STRONG>Note</STRONG></TD></TR>\r\n";
    EXPECT_EQ(
        htmltable::toTable(
            Grid({{"Tag", "Value", "Note"}, {"DWGNO", "PID-1", "x"}, {"Tag", "Value", "Note"}}),
            style, ui),
        "<TABLE ALIGN=RIGHT BORDER=3 CELLSPACING=4 CELLPADDING=5 WIDTH='50%' "
        "BACKGROUND='paper.png' BGCOLOR='#FFD700' BORDERCOLOR='black'><TBODY>\r\n" +
            header +
            "<TR ALIGN=CENTER NOWRAP><TD><STRONG>DWGNO</STRONG></TD><TD NOWRAP>PID-1</TD>"
            "<TD>x</TD></TR>\r\n" +
            header + "</TBODY></TABLE>");
}

// No alignment leaves the word empty; blank texts leave their attribute out, others are
// written as given, blanks and all.
TEST_F(HtmlTable, NoAlignmentAndBlankSettings) {
    HtmlTableStyle style;
    style.tableAlign = HtmlAlign::None;
    style.cellAlign = HtmlAlign::None;
    style.background = "   ";
    style.backgroundColor = " red ";
    style.borderColor = "";
    EXPECT_EQ(htmltable::toTable(Grid({{"a"}}), style, ui),
              "<TABLE ALIGN= BORDER=0 CELLSPACING=0 CELLPADDING=0 WIDTH='100%' BGCOLOR=' red '>"
              "<TBODY>\r\n<TR ALIGN=><TD>a</TD></TR>\r\n</TBODY></TABLE>");
}

// Written in UTF-8: drawings made elsewhere hold texts of any script. Every text is shown as
// text, never as markup.
TEST_F(HtmlTable, WholePageWithHeadingTitleAndBackgrounds) {
    HtmlPageStyle page;
    page.heading = "3 attributes in <a & b>.dxf";
    page.title = "Title's";
    page.background = "bg.png";
    page.backgroundColor = "white";
    EXPECT_TRUE(htmltable::toFile(
        Grid({{QStringLiteral("<script>alert('x')</script>"), "A & B \"quoted\" Ø Ω 図面"}}),
        path(), page, {}, ui));
    EXPECT_EQ(
        testfiles::read(path()),
        "<HTML>\r\n<HEAD>\r\n<meta charset=\"utf-8\">\r\n"
        "<STRONG><CENTER>3 attributes in &lt;a &amp; b&gt;.dxf</CENTER></STRONG><BR>\r\n"
        "<TITLE>\r\nTitle&#39;s\r\n</TITLE>\r\n</HEAD>\r\n"
        "<BODY  BGCOLOR='white' BACKGROUND='bg.png'>\r\n"
        "<TABLE ALIGN=LEFT BORDER=0 CELLSPACING=0 CELLPADDING=0 WIDTH='100%'><TBODY>\r\n"
        "<TR ALIGN=LEFT><TD NOWRAP>&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;</TD>"
        "<TD>A &amp; B &quot;quoted&quot; \xC3\x98 \xCE\xA9 \xE5\x9B\xB3\xE9\x9D\xA2</TD></TR>\r\n"
        "</TBODY></TABLE>\r\n"
        "</BODY>\r\n</HTML>\r\n\r\n");
}

// A large table is written in pieces; a heading of blanks and an empty title leave both out.
TEST_F(HtmlTable, LargeTableWrittenWhole) {
    constexpr int kRows = 60000;
    std::vector<QStringList> rows;
    for (int r = 0; r < kRows; ++r) {
        rows.push_back({QStringLiteral("row %1").arg(r), QStringLiteral("value %1 <%1>").arg(r)});
    }
    const Grid table(std::move(rows));
    const QString inMemory = htmltable::toTable(table, {}, ui);
    EXPECT_EQ(ui.pendingEventRuns, kRows) << "pending events run once per row";
    HtmlPageStyle blank;
    blank.heading = "  ";  // blanks only: no heading
    ASSERT_TRUE(htmltable::toFile(table, path(), blank, {}, ui));
    const QString page = QString::fromUtf8(testfiles::read(path()));
    EXPECT_TRUE(page ==
                "<HTML>\r\n<HEAD>\r\n<meta charset=\"utf-8\">\r\n<TITLE>\r\n</TITLE>\r\n"
                "</HEAD>\r\n<BODY >\r\n" +
                    inMemory + "\r\n</BODY>\r\n</HTML>\r\n\r\n")
        << "the page written in pieces holds the same table";
    EXPECT_EQ(page.count("<TR "), kRows);
}

// A page replaces the one before whole, and no working file is left beside it; a failed write
// keeps the old page.
TEST_F(HtmlTable, AWriteReplacesThePageOrKeepsItWhenItFails) {
    ASSERT_TRUE(htmltable::toFile(Grid({{"first"}}), path(), {}, {}, ui));
    ASSERT_TRUE(htmltable::toFile(Grid({{"second"}}), path(), {}, {}, ui));
    const QByteArray second = testfiles::read(path());
    EXPECT_TRUE(second.contains("second"));
    EXPECT_FALSE(second.contains("first"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"attr.htm"});

    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup));
    EXPECT_FALSE(htmltable::toFile(Grid({{"x"}}), path(), {}, {}, ui));
    EXPECT_EQ(testfiles::read(path()), second);
}

}  // namespace
