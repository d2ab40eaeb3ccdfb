// SPDX-License-Identifier: GPL-3.0-or-later
// The HTML table and page writer: markup of every style setting, the result codes, escaping,
// and the page file itself.

#include "engine/html_table.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "engine/value_array.h"
#include "support/files.h"
#include "support/qt_printers.h"
#include "support/recording_engine_ui.h"

namespace {

QVariant grid(const std::vector<std::vector<QVariant>>& rows) {
    const int columns = rows.empty() ? 0 : static_cast<int>(rows.front().size());
    auto table = std::make_shared<ValueGrid>(static_cast<qint64>(rows.size()), columns);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            table->set(static_cast<qint64>(r), static_cast<int>(c), rows[r][c]);
        }
    }
    return valuearray::toVariant(table);
}

QString tableOf(const QVariant& array, const HtmlTableStyle& style) {
    fake::RecordingEngineUi ui;
    QString table;
    EXPECT_EQ(htmltable::toTable(array, table, style, ui), htmltable::Written);
    return table;
}

TEST(HtmlTable, EverySettingInTheMarkup) {
    HtmlTableStyle style;
    style.tableAlign = 2;
    style.background = "paper.png";
    style.backgroundColor = "#FFD700";
    style.border = 3;
    style.borderColor = "black";
    style.cellSpacing = 4;
    style.cellPadding = 5;
    style.widthPercent = 50;
    style.cellAlign = 1;
    style.wrapCellData = false;
    style.boldFirstRow = true;
    style.boldLastRow = true;
    const QVariant array = grid({{"Tag", "Value"}, {"DWGNO", "PID-1"}, {"Tag", "Value"}});
    EXPECT_EQ(tableOf(array, style),
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
        qint32 align;
        const char* word;
    } cases[] = {{0, "LEFT"}, {1, "CENTER"}, {2, "RIGHT"}, {3, ""}, {-1, ""}};
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

TEST(HtmlTable, ResultCodesLeaveTheTextUntouchedOnFailure) {
    const struct {
        const char* what;
        QVariant array;
        qint16 result;
    } cases[] = {
        {"plain text", QVariant(QStringLiteral("<TABLE>")), htmltable::NotAnArray},
        {"empty value", QVariant(), htmltable::NotAnArray},
        {"number", QVariant(42), htmltable::NotAnArray},
        {"list of values", QVariant(QVariantList{1, 2, 3}), htmltable::NotTwoDimensional},
        {"list of texts", QVariant(QStringList{"a", "b"}), htmltable::NotTwoDimensional},
        {"table", grid({{"a"}}), htmltable::Written},
    };
    for (const auto& c : cases) {
        fake::RecordingEngineUi ui;
        QString table = "kept";
        EXPECT_EQ(htmltable::toTable(c.array, table, {}, ui), c.result) << c.what;
        if (c.result != htmltable::Written) {
            EXPECT_EQ(table, "kept") << c.what;
        }
    }
}

TEST(HtmlTable, CellTextsInTheProgramsForms) {
    const QString table =
        tableOf(grid({{QVariant(), 42.0, QVariant(123456789.0f), true, qint64(1) << 40}}), {});
    EXPECT_TRUE(
        table.contains("<TR ALIGN=LEFT><TD NOWRAP></TD><TD NOWRAP>42</TD>"
                       "<TD NOWRAP>1.234568E+08</TD><TD NOWRAP>True</TD>"
                       "<TD>1099511627776</TD></TR>"))
        << table.toStdString();
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
    QString table;
    htmltable::toTable(grid({{"a", "b"}, {"c", "d"}, {"e", "f"}}), table, {}, ui);
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
    EXPECT_EQ(htmltable::toFile(grid({{"Ø Ω 図面"}}), path(), page, {}, ui), htmltable::Written);
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
    EXPECT_EQ(htmltable::toFile(grid({{"x"}}), path(), page, {}, ui), htmltable::Written);
    const QByteArray text = testfiles::read(path());
    EXPECT_TRUE(
        text.contains("<meta charset=\"utf-8\">\r\n<TITLE>\r\n</TITLE>\r\n</HEAD>\r\n"
                      "<BODY >\r\n"))
        << text.toStdString();
    EXPECT_FALSE(text.contains("STRONG"));
}

TEST_F(HtmlPage, LargeTableWrittenWhole) {
    constexpr int kRows = 60000;
    auto table = std::make_shared<ValueGrid>(kRows, 2);
    for (int r = 0; r < kRows; ++r) {
        table->set(r, 0, QStringLiteral("row %1").arg(r));
        table->set(r, 1, QStringLiteral("value %1 <%1>").arg(r));
    }
    const QVariant array = valuearray::toVariant(table);
    QString inMemory;
    ASSERT_EQ(htmltable::toTable(array, inMemory, {}, ui), htmltable::Written);
    ASSERT_EQ(htmltable::toFile(array, path(), {}, {}, ui), htmltable::Written);
    const QString page = QString::fromUtf8(testfiles::read(path()));
    EXPECT_TRUE(page.contains(QStringLiteral("\r\n<BODY >\r\n") + inMemory + "\r\n</BODY>\r\n"))
        << "the page written in pieces holds the same table";
    EXPECT_EQ(page.count("<TR "), kRows);
}

TEST_F(HtmlPage, NoPageForSomethingThatIsNotATable) {
    EXPECT_EQ(htmltable::toFile(QVariant("text"), path(), {}, {}, ui), htmltable::NotAnArray);
    EXPECT_EQ(htmltable::toFile(QVariant(QStringList{"a"}), path(), {}, {}, ui),
              htmltable::NotTwoDimensional);
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(HtmlPage, AFailedWriteIsReportedAndKeepsTheOldPage) {
    QString reason;
    const QString missingFolder = dir.filePath("gone/attr.htm");
    EXPECT_EQ(htmltable::toFile(grid({{"x"}}), missingFolder, {}, {}, ui, &reason),
              htmltable::FileNotWritten);
    EXPECT_FALSE(reason.isEmpty());

    ASSERT_TRUE(testfiles::write(path(), "old page"));
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup));
    EXPECT_EQ(htmltable::toFile(grid({{"x"}}), path(), {}, {}, ui, &reason),
              htmltable::FileNotWritten);
    EXPECT_EQ(testfiles::read(path()), "old page");
}

TEST_F(HtmlPage, TwoWritesReplaceThePage) {
    ASSERT_EQ(htmltable::toFile(grid({{"first"}}), path(), {}, {}, ui), htmltable::Written);
    ASSERT_EQ(htmltable::toFile(grid({{"second"}}), path(), {}, {}, ui), htmltable::Written);
    const QByteArray text = testfiles::read(path());
    EXPECT_TRUE(text.contains("second"));
    EXPECT_FALSE(text.contains("first"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"attr.htm"})
        << "no temporary file left beside it";
}

}  // namespace
