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

Grid grid(std::vector<QStringList> rows) {
    return Grid(std::move(rows));
}

QString tableOf(const TextTable& table, const HtmlTableStyle& style) {
    fake::RecordingEngineUi ui;
    return htmltable::toTable(table, style, ui);
}

TEST(HtmlTable, EverySettingInTheMarkup) {
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
    EXPECT_EQ(tableOf(grid({{"Tag", "Value"}, {"DWGNO", "PID-1"}, {"Tag", "Value"}}), style),
              "<TABLE ALIGN=RIGHT BORDER=3 CELLSPACING=4 CELLPADDING=5 WIDTH='50%' "
              "BACKGROUND='paper.png' BGCOLOR='#FFD700' BORDERCOLOR='black'><TBODY>\r\n"
              "<TR ALIGN=CENTER NOWRAP><TD><STRONG>Tag</STRONG></TD><TD><STRONG>Value</STRONG>"
              "</TD></TR>\r\n"
              "<TR ALIGN=CENTER NOWRAP><TD NOWRAP>DWGNO</TD><TD>PID-1</TD></TR>\r\n"
              "<TR ALIGN=CENTER NOWRAP><TD><STRONG>Tag</STRONG></TD><TD><STRONG>Value</STRONG>"
              "</TD></TR>\r\n"
              "</TBODY></TABLE>");
}

TEST(HtmlTable, AlignmentWordsAndBlankSettings) {
    const struct {
        HtmlAlign align;
        const char* word;
    } cases[] = {{HtmlAlign::Left, "LEFT"},
                 {HtmlAlign::Center, "CENTER"},
                 {HtmlAlign::Right, "RIGHT"},
                 {HtmlAlign::None, ""}};
    for (const auto& c : cases) {
        HtmlTableStyle style;
        style.tableAlign = c.align;
        style.cellAlign = c.align;
        // Blank texts leave their attribute out; others are written as given, blanks and all.
        style.background = "   ";
        style.backgroundColor = " red ";
        style.borderColor = "";
        const QString table = tableOf(grid({{"a"}}), style);
        EXPECT_TRUE(table.startsWith(QStringLiteral("<TABLE ALIGN=%1 BORDER=0 CELLSPACING=0 "
                                                    "CELLPADDING=0 WIDTH='100%' BGCOLOR=' red '>"
                                                    "<TBODY>\r\n<TR ALIGN=%1><TD>a</TD></TR>")
                                         .arg(c.word)))
            << table.toStdString();
    }
}

TEST(HtmlTable, BoldFirstColumnOnly) {
    HtmlTableStyle style;
    style.boldFirstColumn = true;
    EXPECT_EQ(tableOf(grid({{"a", "b", "c"}, {"d", "e", "f"}}), style),
              "<TABLE ALIGN=LEFT BORDER=0 CELLSPACING=0 CELLPADDING=0 WIDTH='100%'><TBODY>\r\n"
              "<TR ALIGN=LEFT><TD><STRONG>a</STRONG></TD><TD NOWRAP>b</TD><TD>c</TD></TR>\r\n"
              "<TR ALIGN=LEFT><TD><STRONG>d</STRONG></TD><TD NOWRAP>e</TD><TD>f</TD></TR>\r\n"
              "</TBODY></TABLE>");
}

TEST(HtmlTable, ValuesAreShownAsTextNotMarkup) {
    const QString table =
        tableOf(grid({{"<script>alert('x')</script>", "A & B \"quoted\"", "Ø Ω 図面"}}), {});
    EXPECT_TRUE(
        table.contains("<TD NOWRAP>&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;</TD>"
                       "<TD NOWRAP>A &amp; B &quot;quoted&quot;</TD><TD>Ø Ω 図面</TD>"))
        << table.toStdString();
    EXPECT_FALSE(table.contains("<script>"));
}

TEST(HtmlTable, PendingEventsRunWhileTheTableIsBuilt) {
    fake::RecordingEngineUi ui;
    htmltable::toTable(grid({{"a", "b"}, {"c", "d"}, {"e", "f"}}), {}, ui);
    EXPECT_GE(ui.pendingEventRuns, 3);
}

class HtmlPage : public ::testing::Test {
protected:
    QTemporaryDir dir;
    fake::RecordingEngineUi ui;
    QString path() const { return dir.filePath("attr.htm"); }
};

// Written in UTF-8: drawings made elsewhere hold texts of any script.
TEST_F(HtmlPage, WholePageWithHeadingTitleAndBackgrounds) {
    HtmlPageStyle page;
    page.heading = "3 attributes in <a & b>.dxf";
    page.title = "Title's";
    page.background = "bg.png";
    page.backgroundColor = "white";
    EXPECT_TRUE(htmltable::toFile(grid({{"Ø Ω 図面"}}), path(), page, {}, ui));
    EXPECT_EQ(testfiles::read(path()),
              "<HTML>\r\n<HEAD>\r\n<meta charset=\"utf-8\">\r\n"
              "<STRONG><CENTER>3 attributes in &lt;a &amp; b&gt;.dxf</CENTER></STRONG><BR>\r\n"
              "<TITLE>\r\nTitle&#39;s\r\n</TITLE>\r\n</HEAD>\r\n"
              "<BODY  BGCOLOR='white' BACKGROUND='bg.png'>\r\n"
              "<TABLE ALIGN=LEFT BORDER=0 CELLSPACING=0 CELLPADDING=0 WIDTH='100%'><TBODY>\r\n"
              "<TR ALIGN=LEFT><TD>\xC3\x98 \xCE\xA9 \xE5\x9B\xB3\xE9\x9D\xA2</TD></TR>\r\n"
              "</TBODY></TABLE>\r\n"
              "</BODY>\r\n</HTML>\r\n\r\n");
}

TEST_F(HtmlPage, EmptyHeadingAndTitle) {
    HtmlPageStyle page;
    page.heading = "  ";
    EXPECT_TRUE(htmltable::toFile(grid({{"x"}}), path(), page, {}, ui));
    const QByteArray text = testfiles::read(path());
    EXPECT_TRUE(
        text.contains("<meta charset=\"utf-8\">\r\n<TITLE>\r\n</TITLE>\r\n</HEAD>\r\n"
                      "<BODY >\r\n"))
        << text.toStdString();
    EXPECT_FALSE(text.contains("STRONG"));
}

TEST_F(HtmlPage, LargeTableWrittenWhole) {
    constexpr int kRows = 60000;
    std::vector<QStringList> rows;
    for (int r = 0; r < kRows; ++r) {
        rows.push_back({QStringLiteral("row %1").arg(r), QStringLiteral("value %1 <%1>").arg(r)});
    }
    const Grid table(std::move(rows));
    const QString inMemory = htmltable::toTable(table, {}, ui);
    ASSERT_TRUE(htmltable::toFile(table, path(), {}, {}, ui));
    const QString page = QString::fromUtf8(testfiles::read(path()));
    EXPECT_TRUE(page.contains(QStringLiteral("\r\n<BODY >\r\n") + inMemory + "\r\n</BODY>\r\n"))
        << "the page written in pieces holds the same table";
    EXPECT_EQ(page.count("<TR "), kRows);
}

TEST_F(HtmlPage, AFailedWriteIsReportedAndKeepsTheOldPage) {
    const QString missingFolder = dir.filePath("gone/attr.htm");
    const core::Status missing = htmltable::toFile(grid({{"x"}}), missingFolder, {}, {}, ui);
    ASSERT_FALSE(missing);
    EXPECT_FALSE(missing.error().description.isEmpty()) << "the system's reason";

    ASSERT_TRUE(testfiles::write(path(), "old page"));
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup));
    EXPECT_FALSE(htmltable::toFile(grid({{"x"}}), path(), {}, {}, ui));
    EXPECT_EQ(testfiles::read(path()), "old page");
}

TEST_F(HtmlPage, TwoWritesReplaceThePage) {
    ASSERT_TRUE(htmltable::toFile(grid({{"first"}}), path(), {}, {}, ui));
    ASSERT_TRUE(htmltable::toFile(grid({{"second"}}), path(), {}, {}, ui));
    const QByteArray text = testfiles::read(path());
    EXPECT_TRUE(text.contains("second"));
    EXPECT_FALSE(text.contains("first"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"attr.htm"})
        << "no temporary file left beside it";
}

}  // namespace
