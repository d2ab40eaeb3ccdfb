// SPDX-License-Identifier: GPL-3.0-or-later
// attributeTable: every attribute of every block reference of the open drawing, model space first,
// with the block's data repeated on each of its rows and the header row at both ends.

#include "engine/attribute_table.h"

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
        const auto table = session.attributeTable();
        session.closeDrawing();
        std::vector<QStringList> rows;
        EXPECT_TRUE(table.ok()) << "no table";
        if (!table) return rows;
        const QLocale c = QLocale::c();
        for (qint64 r = 0; r < table.value().rowCount(); ++r) {
            QStringList row;
            for (int col = 0; col < table.value().columnCount(); ++col)
                row << table.value().text(r, col, c);
            rows.push_back(row);
        }
        return rows;
    }
};

TEST_F(AttributeTableTest, EachAttributeARowWithItsBlocksData) {
    fake::MemBlock title =
        block("TITLE", {{"DWGNO", "PID-1", "2B"}, {"REV", "C", "2C"}, {"DATE", "", "2D"}}, true,
              "2A", "BORDER");
    title.insertionPoint = {1234.56789, -0.1, 1e-7};
    fake::MemBlock pump = block("PUMP", {{"TAG", "P-501", "4C"}}, false, "4A");
    pump.insertionPoint = {60, 40, 0};
    // The title block is enumerated first, listed after model space.
    const auto rows = rowsOf(sheet({title, pump, block("ARROW", {})}));
    const std::vector<QStringList> expected = {
        kHeaders,
        {"MODEL", "PUMP", "0", "4A", "4C", "60", "40", "0", "TAG", "P-501"},
        {"PAPER", "TITLE", "BORDER", "2A", "2B", "1234.568", "-0.1", "1E-07", "DWGNO", "PID-1"},
        {"PAPER", "TITLE", "BORDER", "2A", "2C", "1234.568", "-0.1", "1E-07", "REV", "C"},
        {"PAPER", "TITLE", "BORDER", "2A", "2D", "1234.568", "-0.1", "1E-07", "DATE", ""},
        kHeaders,
    };
    EXPECT_EQ(rows, expected) << "coordinates in single precision";
    EXPECT_EQ(ui.pendingEventRuns, 3) << "once per block reference";
}

TEST_F(AttributeTableTest, SelectsEveryReferenceOfEachSpaceWithoutATemplate) {
    // A template's block and layer filters do not apply to the page.
    ASSERT_TRUE(
        loads("*INPUT\r\nBLOCK: TITLE\r\nLAYER: BORDER\r\n"
              "*OUTPUT\r\nBLOCK_NAME\r\n"
              "*ATTRIBUTE_TAGS\r\n*\r\n"));
    const auto rows = rowsOf(sheet({block("PUMP", {{"TAG", "P-1", "4B"}}, false, "4A")}));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1][1], "PUMP");
    EXPECT_EQ(model->listings, (std::vector<fake::BlockReferencesCall>{
                                   {drawingapi::Space::Model, ""}, {drawingapi::Space::Paper, ""}}))
        << "every reference of both spaces, whatever the template loaded";
}

TEST_F(AttributeTableTest, FailingReadsGiveEmptyCellsOrSkipTheBlock) {
    fake::MemBlock nameless = block("GONE", {{"TAG", "T-1", "5B"}}, false, "5A");
    nameless.failingProperties = {"name", "insertionPoint"};
    fake::MemBlock unreadable = block("BAD", {{"TAG", "T-2", "6B"}}, false, "6A");
    unreadable.failingProperties = {"attributes"};
    fake::MemBlock saysNone = block("NONE", {{"TAG", "T-3", "7B"}}, false, "7A");
    saysNone.hasAttributes = false;
    const auto rows = rowsOf(sheet(
        {nameless, unreadable, saysNone, block("OK", {{"TAG", "T-4", "8B", true}}, false, "8A")}));
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

}  // namespace
