// SPDX-License-Identifier: GPL-3.0-or-later
// attributeTable: every attribute of every block reference of the open drawing, model space first,
// with the block's data repeated on each of its rows and the header row at both ends.

#include "engine/attribute_table.h"

#include "engine/html_table.h"
#include "engine_fixture.h"

namespace {

const QStringList kHeaders = {"Space", "Block", "Layer", "BHandle",      "Handle",
                              "X",     "Y",     "Z",     "AttributeTag", "AttributeValue"};

class AttributeTableTest : public EngineTest {
protected:
    // The table of `drawing` opened as "a.dwg", each row as its cell texts.
    std::vector<QStringList> rowsOf(fake::MemDrawing drawing) {
        model->addDrawing("a.dwg", std::move(drawing));
        EXPECT_TRUE(session.start().ok());
        EXPECT_TRUE(session.openDrawing("a.dwg").ok());
        auto read = session.attributeTable();
        session.closeDrawing();
        std::vector<QStringList> rows;
        if (!read) {
            ADD_FAILURE() << "no table";
            return rows;
        }
        table = std::move(read).value();
        EXPECT_EQ(table.columnCount(), 10);
        const QLocale c = QLocale::c();
        for (qint64 r = 0; r < table.rowCount(); ++r) {
            QStringList row;
            for (int col = 0; col < table.columnCount(); ++col) row << table.text(r, col, c);
            rows.push_back(row);
        }
        return rows;
    }
    AttributeTable table;
};

fake::MemBlock placed(const QString& name, const QString& handle, drawingapi::Point3 point,
                      std::vector<fake::MemAttribute> attributes, bool paper = false) {
    fake::MemBlock b = block(name, std::move(attributes), paper);
    b.handle = handle;
    b.insertionPoint = point;
    return b;
}

TEST_F(AttributeTableTest, EachAttributeARowWithItsBlocksData) {
    fake::MemDrawing drawing;
    fake::MemBlock title =
        placed("TITLE", "2A", {1234.56789, -0.1, 1e-7},
               {{"DWGNO", "PID-1", "2B"}, {"REV", "C", "2C"}, {"DATE", "", "2D"}}, true);
    title.layer = "BORDER";
    drawing.blocks.push_back(title);  // enumerated first, listed after model space
    drawing.blocks.push_back(placed("PUMP", "4A", {60, 40, 0}, {{"TAG", "P-501", "4C"}}));
    drawing.blocks.push_back(block("ARROW", {}));
    const auto rows = rowsOf(drawing);
    const std::vector<QStringList> expected = {
        kHeaders,
        {"MODEL", "PUMP", "0", "4A", "4C", "60", "40", "0", "TAG", "P-501"},
        {"PAPER", "TITLE", "BORDER", "2A", "2B", "1234.568", "-0.1", "1E-07", "DWGNO", "PID-1"},
        {"PAPER", "TITLE", "BORDER", "2A", "2C", "1234.568", "-0.1", "1E-07", "REV", "C"},
        {"PAPER", "TITLE", "BORDER", "2A", "2D", "1234.568", "-0.1", "1E-07", "DATE", ""},
        kHeaders,
    };
    EXPECT_EQ(rows, expected) << "coordinates in single precision";
}

TEST_F(AttributeTableTest, SelectsEveryReferenceOfEachSpaceWithoutATemplate) {
    // A template's block and layer filters do not apply to the page.
    ASSERT_TRUE(
        loads("*INPUT\r\nBLOCK: TITLE\r\nLAYER: BORDER\r\n"
              "*OUTPUT\r\nBLOCK_NAME\r\n"
              "*ATTRIBUTE_TAGS\r\n*\r\n"));
    fake::MemDrawing drawing;
    drawing.blocks.push_back(placed("PUMP", "4A", {}, {{"TAG", "P-1", "4B"}}));
    const auto rows = rowsOf(drawing);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1][1], "PUMP");
    EXPECT_EQ(model->listings, (std::vector<fake::BlockReferencesCall>{
                                   {drawingapi::Space::Model, ""}, {drawingapi::Space::Paper, ""}}))
        << "every reference of both spaces, whatever the template loaded";
}

TEST_F(AttributeTableTest, FailingReadsGiveEmptyCellsOrSkipTheBlock) {
    fake::MemDrawing drawing;
    fake::MemBlock nameless = placed("GONE", "5A", {}, {{"TAG", "T-1", "5B"}});
    nameless.failingProperties = {"name", "insertionPoint"};
    fake::MemBlock unreadable = placed("BAD", "6A", {}, {{"TAG", "T-2", "6B"}});
    unreadable.failingProperties = {"attributes"};
    fake::MemBlock saysNone = placed("NONE", "7A", {}, {{"TAG", "T-3", "7B"}});
    saysNone.hasAttributes = false;
    drawing.blocks = {nameless, unreadable, saysNone};
    drawing.blocks.push_back(placed("OK", "8A", {}, {{"TAG", "T-4", "8B", true, false}}));
    const auto rows = rowsOf(drawing);
    const std::vector<QStringList> expected = {
        kHeaders,
        {"MODEL", "", "0", "5A", "5B", "0", "0", "0", "TAG", "T-1"},
        {"MODEL", "OK", "0", "8A", "8B", "0", "0", "0", "", "T-4"},
        kHeaders,
    };
    EXPECT_EQ(rows, expected);
}

TEST_F(AttributeTableTest, NoOpenDrawingGivesNoTable) {
    EXPECT_FALSE(session.attributeTable());
    ASSERT_TRUE(session.start().ok());
    EXPECT_FALSE(session.attributeTable());
}

TEST_F(AttributeTableTest, PendingEventsRunOncePerBlockReference) {
    fake::MemDrawing drawing;
    for (int i = 0; i < 5; ++i) drawing.blocks.push_back(block("B", {}, i % 2 == 1));
    rowsOf(drawing);
    EXPECT_EQ(ui.pendingEventRuns, 5);
}

// The table of a block with three attributes on a page: the header rows at both ends bold,
// three data rows between them without NOWRAP on their last cell.
TEST_F(AttributeTableTest, ThreeAttributesMakeThreeRowsOnThePage) {
    fake::MemDrawing drawing;
    drawing.blocks.push_back(placed("TITLE", "2A", {1, 2, 3},
                                    {{"A", "<b>1</b>", "3A"}, {"B", "2", "3B"}, {"C", "3", "3C"}}));
    rowsOf(drawing);
    HtmlTableStyle style;
    style.wrapCellData = false;
    style.boldFirstRow = true;
    style.boldLastRow = true;
    const QString markup = htmltable::toTable(table, style, ui);
    const QStringList lines = markup.split("\r\n");
    ASSERT_EQ(lines.size(), 7) << markup.toStdString();
    for (int i : {1, 5}) {
        EXPECT_EQ(lines[i].count("<STRONG>"), 10) << i;
        EXPECT_TRUE(lines[i].endsWith("<TD><STRONG>AttributeValue</STRONG></TD></TR>")) << i;
    }
    for (int i : {2, 3, 4}) {
        EXPECT_TRUE(
            lines[i].startsWith("<TR ALIGN=LEFT NOWRAP><TD NOWRAP>MODEL</TD>"
                                "<TD NOWRAP>TITLE</TD><TD NOWRAP>0</TD>"
                                "<TD NOWRAP>2A</TD>"))
            << lines[i].toStdString();
        EXPECT_EQ(lines[i].count("<TD NOWRAP>"), 9);
    }
    EXPECT_TRUE(lines[2].endsWith("<TD NOWRAP>A</TD><TD>&lt;b&gt;1&lt;/b&gt;</TD></TR>"));
    EXPECT_EQ(lines[6], "</TBODY></TABLE>");
}

}  // namespace
