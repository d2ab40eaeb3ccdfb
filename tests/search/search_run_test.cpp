// SPDX-License-Identifier: GPL-3.0-or-later
// The search window's run over the memory model: what each criterion finds, the header and the
// status line, refusals, Abort between and inside drawings, drawings that do not open, and a
// close or a second click while a run is going.

#include <QTest>

#include "engine/attribute_search.h"
#include "search_window_fixture.h"

namespace {

using fake::MemAttribute;
using fake::MemDrawing;

QString totals(qint64 hits, qint64 files) {
    return searchTotalsLine(hits, files, 0.0);
}

// Two sheets: the pumps and a title block, and a sheet of valves.
class SearchRunTest : public SearchWindowTest {
protected:
    void SetUp() override {
        SearchWindowTest::SetUp();
        MemDrawing pumps;
        pumps.blocks.push_back(
            attributed("PUMP", {{"TAG", "P-101", "A1"}, {"DESC", "Feed pump", "A2"}}, "10"));
        pumps.blocks.push_back(attributed("Pump", {{"DESC", "PUMP", "B1"}}, "11"));
        pumps.blocks.push_back(attributed("PUMPSET", {{"DESC", "pump set", "C1"}}, "12"));
        pumps.blocks.push_back(attributed("TITLE", {{"TITLE", "Pump station", "D1"}}, "13", true));
        addDrawing("a.dwg", pumps);
        MemDrawing valves;
        valves.blocks.push_back(
            attributed("VALVE", {{"TAG", "V-1", "E1"}, {"PUMP", "none", "E2"}}, "20"));
        addDrawing("b.dwg", valves);
    }
    // The values (last field) of the result lines shown, header left out.
    QStringList foundValues() const {
        QStringList values;
        const QStringList lines = shownLines();
        for (qsizetype i = 1; i < lines.size(); ++i) values << lines[i].section(',', -1);
        return values;
    }
};

TEST_F(SearchRunTest, EachCriterionDecidesWhatIsFound) {
    struct Case {
        const char* name;
        QString space;  // the stored setting: the list holds Both, Model and Paper only
        QString blocks;
        QString text;
        bool matchCase, exactPhrase, findTag;
        QStringList values;
    };
    const std::vector<Case> cases = {
        {"lower-case word, any case, also inside values",
         "Both",
         "*",
         "pump",
         false,
         false,
         false,
         {"Feed pump", "PUMP", "pump set", "Pump station"}},
        {"match case", "Both", "*", "pump", true, false, false, {"Feed pump", "pump set"}},
        {"exact phrase, any case", "Both", "*", "pump", false, true, false, {"PUMP"}},
        {"exact phrase and match case", "Both", "*", "pump", true, true, false, {}},
        {"exact phrase and match case, letter for letter",
         "Both",
         "*",
         "PUMP",
         true,
         true,
         false,
         {"PUMP"}},
        {"tag names, never values", "Both", "*", "pump", false, false, true, {"none"}},
        {"model space only",
         "Model",
         "*",
         "pump",
         false,
         false,
         false,
         {"Feed pump", "PUMP", "pump set"}},
        {"paper space only", "Paper", "*", "pump", false, false, false, {"Pump station"}},
        {"a space written in lower case searches nothing",
         "model",
         "*",
         "pump",
         false,
         false,
         false,
         {}},
        {"two block names, any case; a longer name is not one of them",
         "Both",
         "pump, title",
         "p",
         false,
         false,
         false,
         {"P-101", "Feed pump", "PUMP", "Pump station"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setOption("Space", c.space);
        setOption("Case", c.matchCase ? "1" : "0");
        setOption("Whole", c.exactPhrase ? "1" : "0");
        setOption("Tag", c.findTag ? "1" : "0");
        setOption("Blocks", c.blocks);
        open();
        searchFor(c.text);
        EXPECT_EQ(foundValues(), c.values);
        if (c.values.isEmpty()) {
            EXPECT_EQ(window->resultsEdit->toPlainText(), "") << "no header without hits";
        } else {
            EXPECT_EQ(shownLines().first(), kHeader);
        }
        EXPECT_EQ(window->statusLabel->text(), totals(c.values.size(), c.values.isEmpty() ? 0 : 1));
    }
}

// The controls are read when the run starts, not only when the window opens.
TEST_F(SearchRunTest, ResultLinesHoldElevenFieldsAsTheControlsSay) {
    struct Case {
        const char* name;
        std::function<void(SearchWindow&)> set;
        QString text, lines;
    };
    const std::vector<Case> cases = {
        {"tag names: the tag beside the value",
         [](SearchWindow& w) { w.findTagCheck->setChecked(true); }, "PUMP",
         kHeader + "\r\nb.dwg,Model,VALVE,0,20,E2,0,0,0,PUMP,none\r\n"},
        {"full path", [](SearchWindow& w) { w.fullPathCheck->setChecked(true); }, "V-1",
         kHeader + "\r\n" + dir.filePath("b.dwg") + ",Model,VALVE,0,20,E1,0,0,0,TAG,V-1\r\n"},
        {"the delimiter separates the header and every field",
         [](SearchWindow& w) { w.delimiterEdit->setText(";"); }, "V-1",
         "Drawing;Space;Block;Layer;BHandle;Handle;X;Y;Z;AttributeTag;AttributeValue\r\n"
         "b.dwg;Model;VALVE;0;20;E1;0;0;0;TAG;V-1\r\n"},
        {"paper space", [](SearchWindow& w) { w.spaceCombo->setCurrentText("Paper"); }, "pump",
         kHeader + "\r\na.dwg,Paper,TITLE,0,13,D1,0,0,0,TITLE,Pump station\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        c.set(*window);
        searchFor(c.text);
        EXPECT_EQ(window->resultsText(), c.lines);
        EXPECT_EQ(window->statusLabel->text(), totals(1, 1))
            << "a drawing without hits is no file with hits";
    }
}

TEST_F(SearchRunTest, ARunWithoutHitsLeavesTheResultsEmpty) {
    open();
    searchFor("pump");
    ASSERT_FALSE(window->resultsText().isEmpty());
    searchFor("nowhere");
    EXPECT_EQ(window->resultsEdit->toPlainText(), "");
    EXPECT_EQ(window->resultsText(), "");
    EXPECT_EQ(window->statusLabel->text(), totals(0, 0));
    searchFor("pump", dir.filePath("*.none"));
    EXPECT_EQ(window->statusLabel->text(), totals(0, 0));
    EXPECT_EQ(model->created, 3);
    EXPECT_EQ(model->liveDrawings(), 0) << "no drawing held, also without drawings";
}

TEST_F(SearchRunTest, TheFolderIsFoundIgnoringLetterCase) {
    open();
    searchFor("V-1", dir.filePath("*.DWG"));
    EXPECT_EQ(foundValues(), QStringList({"V-1"}));
    searchFor("V-1", dir.filePath("B.*"));
    EXPECT_EQ(foundValues(), QStringList({"V-1"}));
}

TEST_F(SearchRunTest, ABlankSearchTextOrFolderIsRefusedBeforeAnythingStarts) {
    struct Case {
        QString text, folder, message;
        QLineEdit* SearchWindow::*focus;
    };
    const std::vector<Case> cases = {
        {"", "x", "Enter text phrase to search for.", &SearchWindow::searchTextEdit},
        {"   ", "x", "Enter text phrase to search for.", &SearchWindow::searchTextEdit},
        {"pump", "", "Enter folder.", &SearchWindow::folderEdit},
        {"pump", "  ", "Enter folder.", &SearchWindow::folderEdit},
    };
    open();
    window->show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString() + " for '" + c.text.toStdString() + "', '" +
                     c.folder.toStdString() + "'");
        fakes.dialogs.clearShown();
        window->searchTextEdit->setText(c.text);
        window->folderEdit->setText(c.folder);
        window->searchButton->click();
        ASSERT_EQ(fakes.dialogs.messages().size(), 1u);
        const platform::MessageBoxRequest shown = fakes.dialogs.messages().front();
        EXPECT_EQ(shown.caption, "Quillon");
        EXPECT_EQ(shown.text, c.message);
        EXPECT_EQ(shown.icon, platform::MessageIcon::Exclamation);
        EXPECT_EQ(window->focusWidget(), window.get()->*c.focus);
    }
    EXPECT_EQ(model->created, 0);
}

TEST_F(SearchRunTest, ASessionThatCannotStartChangesNothingButTheStatus) {
    open();
    searchFor("V-1");
    const QString before = window->resultsText();
    model->failOn(fake::Call::CreateReader);
    searchFor("pump");
    EXPECT_EQ(window->statusLabel->text(), "Unable to start AutoCAD");
    EXPECT_EQ(window->resultsText(), before);
    EXPECT_EQ(window->resultsEdit->toPlainText() + "\n", QString(before).replace("\r\n", "\n"));
    EXPECT_TRUE(window->searchButton->isEnabled());
    EXPECT_FALSE(window->abortButton->isEnabled());
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
}

TEST_F(SearchRunTest, ADrawingThatCannotBeOpenedIsNamedWithItsReasonAndTheSearchGoesOn) {
    // "0.dwg" is listed first but the model does not know it.
    ASSERT_TRUE(testfiles::write(dir.filePath("0.dwg"), "not a drawing"));
    open();
    searchFor("V-1");
    EXPECT_EQ(foundValues(), QStringList({"V-1"}));
    const QStringList status = window->statusLabel->text().split('\n');
    ASSERT_EQ(status.size(), 2);
    EXPECT_EQ(status[0], totals(1, 1));
    EXPECT_TRUE(status[1].startsWith("Not opened: 0.dwg: ")) << status[1].toStdString();
    EXPECT_GT(status[1].size(), QString("Not opened: 0.dwg: ").size()) << "a reason is given";
}

TEST_F(SearchRunTest, ButtonsAndPointerFollowTheRun) {
    open();
    bool searchEnabled = true, abortEnabled = false;
    int depth = 0;
    fakes.ui.onProcessEvents = [&] {
        searchEnabled = window->searchButton->isEnabled();
        abortEnabled = window->abortButton->isEnabled();
        depth = fakes.ui.hourglassDepth;
    };
    EXPECT_FALSE(window->abortButton->isEnabled());
    searchFor("pump");
    EXPECT_FALSE(searchEnabled);
    EXPECT_TRUE(abortEnabled);
    EXPECT_EQ(depth, 1);
    EXPECT_TRUE(window->searchButton->isEnabled());
    EXPECT_FALSE(window->abortButton->isEnabled());
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
}

TEST_F(SearchRunTest, AbortStopsTheRunWithTheTotalsSoFarAndTheNextRunStartsAfresh) {
    struct Case {
        const char* name;
        int abortAt;  // pending events run before each block reference and before each drawing
        QStringList values;
    };
    const std::vector<Case> cases = {
        {"inside a.dwg, before its second reference", 2, {"P-101", "Feed pump"}},
        {"between a.dwg's four references and b.dwg",
         5,
         {"P-101", "Feed pump", "PUMP", "pump set", "Pump station"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model->opens.clear();
        open();
        int calls = 0;
        fakes.ui.onProcessEvents = [&] {
            if (++calls == c.abortAt) window->abortButton->click();
        };
        searchFor("p");
        EXPECT_EQ(foundValues(), c.values);
        EXPECT_EQ(model->opens.size(), 1u) << "b.dwg is not opened";
        EXPECT_EQ(window->statusLabel->text(), totals(c.values.size(), 1));
        EXPECT_EQ(model->liveDrawings(), 0);
        EXPECT_FALSE(window->abortButton->isEnabled());

        fakes.ui.onProcessEvents = nullptr;
        window->searchButton->click();
        EXPECT_EQ(model->opens.size(), 3u);
    }
}

TEST_F(SearchRunTest, LinesShowWhileTheRunGoesAndCriteriaCountFromTheNextDrawing) {
    open();
    int calls = 0;
    QStringList shownBeforeB;
    // a.dwg has four references; the fifth pending-events point comes before b.dwg, the sixth
    // at b.dwg's first reference.
    fakes.ui.onProcessEvents = [&] {
        ++calls;
        if (calls == 5) window->searchTextEdit->setText("V-");
        if (calls == 6) shownBeforeB = shownLines();
    };
    searchFor("pump");
    EXPECT_EQ(shownBeforeB.size(), 5) << "header and a.dwg's four lines";
    EXPECT_EQ(foundValues(), QStringList({"Feed pump", "PUMP", "pump set", "Pump station", "V-1"}));
}

TEST_F(SearchRunTest, ASecondSearchNeverStartsWhileOneRuns) {
    open();
    bool clicked = false;
    fakes.ui.onProcessEvents = [&] {
        if (clicked) return;
        clicked = true;
        window->searchButton->click();
        window->search();
    };
    searchFor("pump");
    EXPECT_TRUE(clicked);
    EXPECT_EQ(model->created, 1);
    EXPECT_EQ(foundValues().size(), 4);
}

TEST_F(SearchRunTest, ClosingDuringARunStopsItClosesTheSessionAndThenTheWindow) {
    struct Case {
        const char* name;
        std::function<void(SearchWindow&)> close;
    };
    const std::vector<Case> cases = {
        {"title bar", [](SearchWindow& w) { EXPECT_FALSE(w.close()) << "not while running"; }},
        {"Escape", [](SearchWindow& w) { QTest::keyClick(w.searchTextEdit, Qt::Key_Escape); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.settings.values.clear();
        model->opens.clear();
        open();
        window->show();
        bool closing = false;
        fakes.ui.onProcessEvents = [&] {
            if (closing) return;
            closing = true;
            c.close(*window);
            EXPECT_TRUE(window->isVisible());
        };
        searchFor("pump");
        fakes.ui.onProcessEvents = nullptr;
        EXPECT_EQ(model->opens.size(), 1u);
        EXPECT_EQ(model->liveDrawings(), 0);
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(window->isSearching());
        EXPECT_EQ(option("Search"), "pump") << "settings stored on closing";
    }
}

TEST_F(SearchRunTest, EscapeClosesTheWindowFromAnyControl) {
    const std::vector<std::function<QWidget*(SearchWindow&)>> controls = {
        [](SearchWindow& w) { return w.searchTextEdit; },
        [](SearchWindow& w) { return w.resultsEdit; },
        [](SearchWindow& w) { return w.matchCaseCheck; },
        [](SearchWindow& w) { return w.spaceCombo; },
    };
    for (const auto& control : controls) {
        open();
        window->show();
        QWidget* target = control(*window);
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible()) << target->objectName().toStdString();
    }
}

}  // namespace
