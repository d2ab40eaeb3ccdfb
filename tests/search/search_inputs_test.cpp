// SPDX-License-Identifier: GPL-3.0-or-later
// Awkward texts through the window's boxes: quotes, semicolons, very long texts, NUL and
// unpaired surrogates reach the run as typed and never crash it; a value holding the run's own
// field separator stays in its column. How odd texts match is the engine's to test.

#include "search_window_fixture.h"

namespace {

using fake::MemDrawing;

TEST_F(SearchWindowTest, AwkwardCriteriaReachTheRunAsTyped) {
    const QString nul = QString(QChar(0));
    const QString lone = QString(QChar(0xD800));
    const QString longText(10000, QChar('x'));
    MemDrawing sheet;
    sheet.blocks.push_back(attributed("A;B", {{"T", "say \"hi\"; *?", "1"}}, "10"));
    sheet.blocks.push_back(attributed("N", {{"T", "a" + nul + "b", "2"}}, "11"));
    sheet.blocks.push_back(attributed("S", {{"T", "half " + lone, "3"}}, "12"));
    sheet.blocks.push_back(attributed("L", {{"T", longText, "4"}}, "13"));
    addDrawing("a.dwg", sheet);
    open();

    struct Case {
        QString text, blocks;
        int hits;
    };
    const std::vector<Case> cases = {
        {"\"hi\";", "*", 1},      {nul, "*", 1},   {lone, "*", 1},         {longText, "*", 1},
        {longText + "x", "*", 0}, {"h", "A;B", 1}, {"a", lone + ", N", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.left(20).toStdString() + " in " + c.blocks.left(20).toStdString());
        window->blocksEdit->setText(c.blocks);
        searchFor(c.text);
        EXPECT_EQ(window->statusLabel->text().section(' ', 0, 0), QString::number(c.hits));
        const QStringList lines = window->resultsText().split("\r\n", Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), c.hits ? c.hits + 1 : 0);
    }
}

TEST_F(SearchWindowTest, AValueHoldingTheFieldSeparatorStaysInItsColumn) {
    MemDrawing sheet;
    const QString value = "a," + SearchResults::fieldSeparator() + "\"b\"";
    sheet.blocks.push_back(attributed("B", {{"T", value, "7"}}, "10"));
    addDrawing("x.dwg", sheet);
    open();
    searchFor("a");
    EXPECT_EQ(window->resultsText().section("\r\n", 1),
              "x.dwg,Model,B,0,10,7,0,0,0,T," + value + "\r\n");
}

}  // namespace
