// SPDX-License-Identifier: GPL-3.0-or-later
// The layout of an edit table told from its header: by reference with a BLOCK_HANDLE column, a
// register without; the extraction's own columns never taken as tags; what cannot be meant
// refused with its reason.

#include "writeback/edit_columns.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace {

using writeback::EditLayout;

TEST(EditColumnsTest, LayoutAndColumnsFromTheHeader) {
    const struct {
        const char* name;
        QStringList header;
        EditLayout layout;
        int drawing, handle, space, blockName, effectiveName;
        std::vector<int> tags;
        QStringList tagNames;
        std::vector<int> occurrences;
    } cases[] = {
        {"an extraction with timestamp, block fields and tags",
         {"DRAWING_NAME", "TIMESTAMP", "BLOCK_NAME", "BLOCK_LAYER", "BLOCK_HANDLE", "BLOCK_X",
          "TITLE", "REV"},
         EditLayout::ByReference,
         0,
         4,
         -1,
         2,
         -1,
         {6, 7},
         {"TITLE", "REV"},
         {0, 0}},
        {"names in any letter case, with blanks around",
         {" drawing_name ", "Block_Handle", " Title ", "BLOCK_HASEXTENTIONDICTIONARY"},
         EditLayout::ByReference,
         0,
         1,
         -1,
         -1,
         -1,
         {2},
         {"Title"},
         {0}},
        {"a block with two REV attributes, extracted with all its tags",
         {"DRAWING_NAME", "BLOCK_HANDLE", "REV", "TITLE", "rev", "REV"},
         EditLayout::ByReference,
         0,
         1,
         -1,
         -1,
         -1,
         {2, 3, 4, 5},
         {"REV", "TITLE", "rev", "REV"},
         {0, 0, 1, 2}},
        {"a register with a space column",
         {"DRAWING_NAME", "SPACE", "TITLE", "DATE"},
         EditLayout::ByDrawing,
         0,
         -1,
         1,
         -1,
         -1,
         {2, 3},
         {"TITLE", "DATE"},
         {0, 0}},
        {"a register extracted with BLOCK_SPACE and the effective name",
         {"BLOCK_EFFECTIVENAME", "BLOCK_SPACE", "DRAWING_NAME", "TITLE", ""},
         EditLayout::ByDrawing,
         2,
         -1,
         1,
         -1,
         0,
         {3},
         {"TITLE"},
         {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeback::EditTable table{c.header, {QStringList(c.header.size(), "x")}, {2}, "t.csv"};
        table.rows.front().last() = "";  // an unnamed column may stand empty
        const auto columns = writeback::editColumns(table);
        ASSERT_TRUE(columns.ok()) << columns.error().description.toStdString();
        EXPECT_EQ(columns.value().layout, c.layout);
        EXPECT_EQ(columns.value().drawing, c.drawing);
        EXPECT_EQ(columns.value().handle, c.handle);
        EXPECT_EQ(columns.value().space, c.space);
        EXPECT_EQ(columns.value().blockName, c.blockName);
        EXPECT_EQ(columns.value().effectiveName, c.effectiveName);
        EXPECT_EQ(columns.value().tags, c.tags);
        EXPECT_EQ(columns.value().tagNames, c.tagNames);
        EXPECT_EQ(columns.value().tagOccurrences, c.occurrences);
    }
}

TEST(EditColumnsTest, HeaderThatCannotBeMeantIsRefused) {
    const struct {
        const char* name;
        QStringList header;
        QString refusal;
    } cases[] = {
        {"no drawing column",
         {"BLOCK_HANDLE", "TITLE"},
         "t.csv: the header has no DRAWING_NAME column, which names each row's drawing."},
        {"no tag",
         {"DRAWING_NAME", "BLOCK_HANDLE", "BLOCK_NAME", "TIMESTAMP"},
         "t.csv: the header names no tag, so there is nothing to write."},
        {"a tag twice in a register",
         {"DRAWING_NAME", "REV", "TITLE", "Rev"},
         "t.csv: the header names the tag Rev twice (columns 2 and 4); without a BLOCK_HANDLE "
         "column each tag has one column."},
        {"two drawing columns",
         {"DRAWING_NAME", "TITLE", "drawing_name"},
         "t.csv: the header names DRAWING_NAME twice (columns 1 and 3)."},
        {"two handles",
         {"DRAWING_NAME", "BLOCK_HANDLE", "TITLE", "BLOCK_HANDLE"},
         "t.csv: the header names BLOCK_HANDLE twice (columns 2 and 4)."},
        {"a block field twice",
         {"DRAWING_NAME", "BLOCK_LAYER", "TITLE", "BLOCK_LAYER"},
         "t.csv: the header names BLOCK_LAYER twice (columns 2 and 4)."},
        {"two space columns",
         {"DRAWING_NAME", "BLOCK_SPACE", "TITLE", "Space"},
         "t.csv: the header has two space columns (BLOCK_SPACE and Space)."},
        {"values under no name",
         {"DRAWING_NAME", "", "TITLE"},
         "t.csv: column 2 has no name in the header, yet it holds values ('x')."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const writeback::EditTable table{
            c.header, {QStringList(c.header.size(), "x")}, {2}, "t.csv"};
        const auto columns = writeback::editColumns(table);
        ASSERT_FALSE(columns.ok());
        EXPECT_EQ(columns.error().description, c.refusal);
    }
}

}  // namespace
