// SPDX-License-Identifier: GPL-3.0-or-later
// Saving the search results: the Save As box, the file (criteria, CSV quoting, temporary file),
// the save folder kept across openings, the clipboard and its count.

#include "search/results_saving.h"

#include <QFile>

#include "search_window_fixture.h"

namespace {

using fake::MemDrawing;

class ResultsSavingTest : public SearchWindowTest {
protected:
    // One hit whose drawing name, block, tag and value hold the delimiter, a quote or a line
    // break.
    void SetUp() override {
        SearchWindowTest::SetUp();
        MemDrawing sheet;
        sheet.blocks.push_back(attributed("B,1", {{"T,2", "Feed, \"hot\"\nwater", "A1"}}, "10"));
        addDrawing("x, \"y\".dwg", sheet);
        open();
        searchFor("feed");
        ASSERT_EQ(window->resultsText(), kHeader + "\r\n" + hitLine + "\r\n");
    }
    const QString hitLine = "x, \"y\".dwg,Model,B,1,0,10,A1,0,0,0,T,2,Feed, \"hot\"\nwater";
    QString savePath(const QString& name) const { return dir.filePath(name); }
    QByteArray saved(const QString& path) const { return testfiles::read(path); }
};

TEST_F(ResultsSavingTest, TheSaveAsBoxOffersTextOrCsvFiles) {
    for (const QString type : {"txt", "csv"}) {
        fakes.dialogs.clearShown();
        window->csvCheck->setChecked(type == "csv");
        fakes.dialogs.answerSaveFile("");
        window->saveButton->click();
        ASSERT_EQ(fakes.dialogs.shown().size(), 1u) << "a cancelled box shows nothing more";
        const platform::FileDialogRequest request = fakes.dialogs.shown()[0].file;
        EXPECT_EQ(request.caption, "Save Text File");
        EXPECT_EQ(request.filter,
                  (type == "csv" ? "CSV Files (*.csv)|*.csv" : "Text Files (*.txt)|*.txt") +
                      QString("|All Files (*.*)|*.*"));
        EXPECT_EQ(request.fileName, "file." + type);
        EXPECT_EQ(request.folder, programFolder());
        EXPECT_TRUE(request.confirmOverwrite);
        EXPECT_TRUE(request.confirmCreate);
    }
    EXPECT_EQ(window->saveFolder(), programFolder()) << "unchanged by a cancel";
}

TEST_F(ResultsSavingTest, ACsvFileQuotesTheFieldsThatNeedItAndTheBoxShowsThemAsTheyAre) {
    const QString path = savePath("hits.csv");
    window->csvCheck->setChecked(true);
    fakes.dialogs.answerSaveFile(path);
    window->saveButton->click();
    EXPECT_EQ(saved(path),
              (kHeader + "\r\n\"x, \"\"y\"\".dwg\",Model,\"B,1\",0,10,A1,0,0,0,\"T,2\","
                         "\"Feed, \"\"hot\"\"\nwater\"\r\n\r\n")
                  .toUtf8());
    EXPECT_EQ(window->resultsEdit->toPlainText(), kHeader + "\n" + hitLine);
}

TEST(CsvField, QuotingFollowsTheDelimiter) {
    struct Case {
        QString field, delimiter, csv;
    };
    const std::vector<Case> cases = {
        {"plain", ",", "plain"},
        {"a,b", ",", "\"a,b\""},
        {"a,b", ";", "a,b"},
        {"a;b", ";", "\"a;b\""},
        {"say \"hi\"", ";", "\"say \"\"hi\"\"\""},
        {"line\r\nbreak", "|", "\"line\r\nbreak\""},
        {"", ",", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(csvField(c.field, c.delimiter), c.csv);
}

TEST_F(ResultsSavingTest, TheCriteriaGoInFrontAsTheyStandWhenSaving) {
    window->includeCriteriaCheck->setChecked(true);
    window->matchCaseCheck->setChecked(true);
    // Changed after the run: the criteria change, the results do not.
    window->blocksEdit->setText("TITLE");
    const QString criteria =
        "*** Search Criteria ***\r\nSpace: Both\r\nBlocks: TITLE\r\nLayers: *\r\n"
        "Search Text: feed\r\nFolder Spec: " +
        allDrawings() +
        "\r\nMatch Case: Y   Whole Word: N   Find Tag Name: N   Delimiter: ,"
        "\r\n\r\n";
    const QString path = savePath("with criteria.txt");
    fakes.dialogs.answerSaveFile(path);
    window->saveButton->click();
    EXPECT_EQ(saved(path), (criteria + window->resultsText() + "\r\n").toUtf8());

    window->clipboardButton->click();
    EXPECT_EQ(fakes.clipboard.contents, criteria + window->resultsText());
}

TEST(CriteriaBlock, HasEightLinesWithEveryCriterionInItsPlace) {
    EXPECT_EQ(criteriaBlock({"Paper", "A, B", "*", " x ", "/d/*.dwg", false, true, true, ";"}),
              "*** Search Criteria ***\r\nSpace: Paper\r\nBlocks: A, B\r\nLayers: *\r\n"
              "Search Text:  x \r\nFolder Spec: /d/*.dwg\r\n"
              "Match Case: N   Whole Word: Y   Find Tag Name: Y   Delimiter: ;\r\n\r\n");
}

TEST_F(ResultsSavingTest, TheSaveFolderIsRememberedAlsoAfterReopening) {
    const QString out = dir.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    fakes.dialogs.answerSaveFile(out + "/hits.csv");
    window->saveButton->click();
    EXPECT_EQ(window->saveFolder(), out + "/");
    fakes.dialogs.answerSaveFile("");
    window->saveButton->click();
    EXPECT_EQ(fakes.dialogs.shown().back().file.folder, out + "/");

    window->close();
    EXPECT_EQ(option("TextFile"), out + "/");
    open();
    searchFor("feed");
    fakes.dialogs.clearShown();
    fakes.dialogs.answerSaveFile("");
    window->saveButton->click();
    EXPECT_EQ(fakes.dialogs.shown().back().file.folder, out + "/");
}

TEST_F(ResultsSavingTest, AFileThatCannotBeWrittenIsReportedWithItsReasonAndNoSavedMessage) {
    // A folder in the way of the file, and a "folder" that is a file.
    ASSERT_TRUE(QDir().mkpath(savePath("taken.txt")));
    ASSERT_TRUE(testfiles::write(savePath("plain"), "x"));
    for (const QString& path : {savePath("taken.txt"), savePath("plain/hits.txt")}) {
        SCOPED_TRACE(path.toStdString());
        fakes.dialogs.clearShown();
        fakes.dialogs.answerSaveFile(path);
        window->saveButton->click();
        ASSERT_EQ(fakes.dialogs.messages().size(), 1u);
        const platform::MessageBoxRequest shown = fakes.dialogs.messages()[0];
        EXPECT_TRUE(shown.text.startsWith("File " + path + " was not saved: "))
            << shown.text.toStdString();
        EXPECT_GT(shown.text.size(), ("File " + path + " was not saved: ").size());
        EXPECT_EQ(shown.icon, platform::MessageIcon::Exclamation);
    }
    EXPECT_EQ(saved(savePath("plain")), "x");
}

// A longer old file leaves nothing of itself behind the new text.
TEST_F(ResultsSavingTest, TheFileHoldsTheResultsAndOneMoreLineEndReplacingAnOldOneWhole) {
    const QString path = savePath("old.txt");
    ASSERT_TRUE(testfiles::write(path, QByteArray(5000, 'z')));
    fakes.dialogs.answerSaveFile(path);
    window->saveButton->click();
    EXPECT_EQ(saved(path), (window->resultsText() + "\r\n").toUtf8());
    ASSERT_EQ(fakes.dialogs.messages().size(), 1u);
    EXPECT_EQ(fakes.dialogs.messages()[0].text, "File " + path + " saved.");
    EXPECT_EQ(fakes.dialogs.messages()[0].icon, platform::MessageIcon::Information);
    EXPECT_EQ(fakes.dialogs.messages()[0].caption, "Quillon");
}

TEST_F(ResultsSavingTest, TheClipboardGetsTheResultsExactlyAndTheCountOfCharacters) {
    fakes.clipboard.contents = "old";
    window->csvCheck->setChecked(true);  // a file type only: the clipboard gets the lines as shown
    window->clipboardButton->click();
    EXPECT_EQ(fakes.clipboard.contents, window->resultsText());
    EXPECT_EQ(fakes.clipboard.clears, 1);
    ASSERT_EQ(fakes.dialogs.messages().size(), 1u);
    EXPECT_EQ(fakes.dialogs.messages()[0].text,
              QString::number(window->resultsText().size()) + " bytes copied to the Clipboard ");
    EXPECT_EQ(fakes.dialogs.messages()[0].icon, platform::MessageIcon::Information);

    fakes.dialogs.clearShown();
    window->includeCriteriaCheck->setChecked(true);
    window->clipboardButton->click();
    EXPECT_EQ(fakes.dialogs.messages()[0].text,
              QString::number(fakes.clipboard.contents.size()) + " bytes copied to the Clipboard ");
    EXPECT_GT(fakes.clipboard.contents.size(), window->resultsText().size());
}

TEST_F(ResultsSavingTest, WithoutResultsBothButtonsSaySoAndDoNothing) {
    searchFor("nowhere");
    fakes.clipboard.contents = "kept";
    fakes.dialogs.clearShown();
    window->saveButton->click();
    window->clipboardButton->click();
    EXPECT_EQ(fakes.dialogs.messageTexts(),
              QStringList({"No results to save.", "No results to save."}));
    for (const auto& shown : fakes.dialogs.messages()) {
        EXPECT_EQ(shown.icon, platform::MessageIcon::Exclamation);
    }
    EXPECT_EQ(fakes.clipboard.contents, "kept");
    EXPECT_EQ(fakes.clipboard.clears, 0);
}

TEST(StripNull, CutsAtTheFirstNul) {
    EXPECT_EQ(stripNull("abc"), "abc");
    EXPECT_EQ(stripNull(QString("ab") + QChar(0) + "cd" + QChar(0)), "ab");
    EXPECT_EQ(stripNull(QString(QChar(0))), "");
}

}  // namespace
