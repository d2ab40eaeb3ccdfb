// SPDX-License-Identifier: GPL-3.0-or-later
// The search window's run over the memory model: each control reaches the run, the header and
// the status line, refusals, Abort between and inside drawings, and a close or a second click
// while a run is going. What a criterion matches is the engine's to test.

#include <QTest>

#include "engine/attribute_search.h"
#include "search_window_fixture.h"

namespace {

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

// The controls are read when the run starts, not only when the window opens.
TEST_F(SearchRunTest, EachControlReachesTheRun) {
    struct Case {
        const char* control;
        QString value;  // entered in a box or chosen in a list; a check box is ticked
        QString text;
        QStringList lines;  // the header left out
    };
    const std::vector<Case> cases = {
        {"matchCaseCheck", "", "Pump", {"a.dwg,Paper,TITLE,0,13,D1,0,0,0,TITLE,Pump station"}},
        {"exactPhraseCheck", "", "pump", {"a.dwg,Model,Pump,0,11,B1,0,0,0,DESC,PUMP"}},
        // Tag names: the tag beside the value.
        {"findTagCheck", "", "PUMP", {"b.dwg,Model,VALVE,0,20,E2,0,0,0,PUMP,none"}},
        {"fullPathCheck", "", "V-1", {dir.filePath("b.dwg,Model,VALVE,0,20,E1,0,0,0,TAG,V-1")}},
        {"delimiterEdit", ";", "V-1", {"b.dwg;Model;VALVE;0;20;E1;0;0;0;TAG;V-1"}},
        {"spaceCombo", "Paper", "pump", {"a.dwg,Paper,TITLE,0,13,D1,0,0,0,TITLE,Pump station"}},
        {"blocksEdit", "title", "pump", {"a.dwg,Paper,TITLE,0,13,D1,0,0,0,TITLE,Pump station"}},
        {"layersEdit", "EQUIP", "pump", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        open();
        QWidget* control = window->findChild<QWidget*>(c.control);
        if (auto* box = qobject_cast<QCheckBox*>(control)) box->setChecked(true);
        if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->setText(c.value);
        if (auto* list = qobject_cast<QComboBox*>(control)) list->setCurrentText(c.value);
        searchFor(c.text);
        QStringList expected = c.lines;
        if (!expected.isEmpty()) {
            expected.prepend(QString(kHeader).replace(',', window->delimiterEdit->text()));
        }
        EXPECT_EQ(shownLines(), expected);
        EXPECT_EQ(window->resultsText(), expected.isEmpty() ? "" : expected.join("\r\n") + "\r\n");
        EXPECT_EQ(window->statusLabel->text(), totals(c.lines.size(), c.lines.isEmpty() ? 0 : 1))
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

// Enter in any of the criteria searches, as the Search button does.
TEST_F(SearchRunTest, EnterInACriterionStartsTheSearch) {
    open();
    window->show();
    window->folderEdit->setText(allDrawings());
    int runs = 0;
    for (QLineEdit* edit : {window->searchTextEdit, window->blocksEdit, window->layersEdit,
                            window->folderEdit, window->delimiterEdit}) {
        SCOPED_TRACE(edit->objectName().toStdString());
        window->searchTextEdit->setText("pump");
        window->resultsEdit->clear();
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(model->created, ++runs);
        EXPECT_FALSE(window->resultsEdit->toPlainText().isEmpty());
    }
    // An empty phrase is refused as a click on Search refuses it.
    window->searchTextEdit->clear();
    QTest::keyClick(window->searchTextEdit, Qt::Key_Return);
    ASSERT_EQ(fakes.dialogs.messages().size(), 1u);
    EXPECT_EQ(fakes.dialogs.messages()[0].text, "Enter text phrase to search for.");
    EXPECT_EQ(model->created, runs);
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

// While a run goes: Search is off and Abort on under the hourglass, a second click starts
// nothing, lines show as they are found, and criteria changed count from the next drawing.
TEST_F(SearchRunTest, WhileARunGoesLinesShowAndNoSecondRunStarts) {
    open();
    EXPECT_FALSE(window->abortButton->isEnabled());
    int calls = 0;
    QStringList shownBeforeB;
    // a.dwg has four references; the fifth pending-events point comes before b.dwg, the sixth
    // at b.dwg's first reference.
    fakes.ui.onProcessEvents = [&] {
        ++calls;
        if (calls == 1) {
            EXPECT_FALSE(window->searchButton->isEnabled());
            EXPECT_TRUE(window->abortButton->isEnabled());
            EXPECT_EQ(fakes.ui.hourglassDepth, 1);
            window->searchButton->click();
            window->search();
        }
        if (calls == 5) window->searchTextEdit->setText("V-");
        if (calls == 6) shownBeforeB = shownLines();
    };
    searchFor("pump");
    EXPECT_EQ(model->created, 1) << "one session: the second click started nothing";
    EXPECT_EQ(shownBeforeB.size(), 5) << "header and a.dwg's four lines";
    EXPECT_EQ(foundValues(), QStringList({"Feed pump", "PUMP", "pump set", "Pump station", "V-1"}));
    EXPECT_TRUE(window->searchButton->isEnabled());
    EXPECT_FALSE(window->abortButton->isEnabled());
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
}

TEST_F(SearchRunTest, ClosingDuringARunStopsItClosesTheSessionAndThenTheWindow) {
    open();
    window->show();
    bool closing = false;
    fakes.ui.onProcessEvents = [&] {
        if (closing) return;
        closing = true;
        EXPECT_FALSE(window->close()) << "not while running";
        EXPECT_TRUE(window->isVisible());
    };
    searchFor("pump");
    EXPECT_EQ(model->opens.size(), 1u);
    EXPECT_EQ(model->liveDrawings(), 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->isSearching());
    EXPECT_EQ(option("Search"), "pump") << "settings stored on closing";
}

// Escape closes the window as its title bar does, from whichever control has the focus.
TEST_F(SearchRunTest, EscapeClosesTheWindowFromAnyControl) {
    for (const char* name : {"searchTextEdit", "resultsEdit", "matchCaseCheck", "spaceCombo"}) {
        open();
        window->show();
        QTest::keyClick(window->findChild<QWidget*>(name), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible()) << name;
    }
}

}  // namespace
