// SPDX-License-Identifier: GPL-3.0-or-later
// Awkward texts in the criteria and in the drawings: quotes, wildcards, semicolons, very long
// texts, NUL and unpaired surrogates never crash the run and never shift a column.

#include "search_window_fixture.h"

namespace {

using fake::MemDrawing;

TEST_F(SearchWindowTest, AwkwardCriteriaFindOnlyWhatTheySay) {
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
        {"\"hi\";", "*", 1},    {"*", "*", 1},
        {"?", "*", 1},          {"*?", "*", 1},
        {nul, "*", 1},          {lone, "*", 1},
        {longText, "*", 1},     {longText + "x", "*", 0},
        {"h", "A;B", 1},        {"h", "A", 0},
        {"h", "\"A;B\"", 0},    {"a", nul, 0},
        {"a", lone + ", N", 1}, {"half", QString(10000, ','), 0},
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

TEST_F(SearchWindowTest, AValueHoldingAnythingStaysInItsColumn) {
    MemDrawing sheet;
    const QString value = "a," + SearchResults::fieldSeparator() + "\"b\"\r\nc";
    sheet.blocks.push_back(attributed("B,1", {{"T,2", value, "7"}}, "10"));
    addDrawing("x, \"y\".dwg", sheet);
    open();
    window->csvCheck->setChecked(true);
    searchFor("a");
    EXPECT_EQ(window->resultsText().section("\r\n", 1),
              "x, \"y\".dwg,Model,B,1,0,10,7,0,0,0,T,2," + value + "\r\n");
    const QString path = dir.filePath("out.csv");
    fakes.dialogs.answerSaveFile(path);
    window->saveButton->click();
    QString csvValue = value;
    csvValue.replace("\"", "\"\"");
    EXPECT_EQ(
        QString::fromUtf8(testfiles::read(path)).section("\r\n", 1),
        "\"x, \"\"y\"\".dwg\",Model,\"B,1\",0,10,7,0,0,0,\"T,2\",\"" + csvValue + "\"\r\n\r\n");
}

}  // namespace
