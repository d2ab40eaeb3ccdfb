// SPDX-License-Identifier: GPL-3.0-or-later
// "Search the register": the search window answers from a register file made of real drawings
// with the lines the search over the drawings gives, each with the time its drawing was
// indexed.

#include <QDateTime>
#include <QFile>

#include "drawing/drawing_file_reader.h"
#include "register/index_run.h"
#include "search_window_fixture.h"

namespace {

class SearchRegisterTest : public SearchWindowTest {
protected:
    void SetUp() override {
        SearchWindowTest::SetUp();
        folder = QFileInfo(dir.path()).canonicalFilePath() + "/sheets";
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const char* name : {"boiler-feed.dxf", "cooling-water.dxf", "tank-farm.dxf"}) {
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(QUILLON_EXAMPLES_DIR "/") + name, folder + "/" + name));
        }
        database = dir.filePath("register.sqlite");
        fakes.settings.set("Register", "File", database);
    }

    void index() {
        reg::IndexOptions options;
        options.database = database;
        options.folders = {folder};
        const reg::IndexSummary summary = reg::runIndex(options);
        ASSERT_TRUE(summary.error.isEmpty()) << summary.error.toStdString();
        ASSERT_EQ(summary.read, 3);
    }

    QStringList searched(bool fromRegister) {
        window->registerCheck->setChecked(fromRegister);
        searchFor(text, folder + "/*.dxf");
        return shownLines();
    }

    QString folder;
    QString database;
    QString text;
};

TEST_F(SearchRegisterTest, TheRegisterGivesTheLinesOfTheDrawingsAndWhenEachWasIndexed) {
    index();
    const QDateTime indexedBy = QDateTime::currentDateTimeUtc();
    struct Case {
        const char* text;
        bool tag;
        bool whole;
    } const cases[] = {{"pump", false, false}, {"DWGNO", true, true}};
    open(drawing::drawingFileReaderFactory());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        text = c.text;
        window->findTagCheck->setChecked(c.tag);
        window->exactPhraseCheck->setChecked(c.whole);
        const QStringList drawings = searched(false);
        ASSERT_GT(drawings.size(), 1);
        const QStringList fromRegister = searched(true);
        ASSERT_EQ(fromRegister.size(), drawings.size());
        EXPECT_EQ(fromRegister[0], drawings[0] + ",Indexed");
        for (qsizetype i = 1; i < drawings.size(); ++i) {
            const qsizetype cut = fromRegister[i].lastIndexOf(',');
            EXPECT_EQ(fromRegister[i].left(cut), drawings[i]);
            const QDateTime at = QDateTime::fromString(fromRegister[i].mid(cut + 1), Qt::ISODate);
            EXPECT_TRUE(at.isValid() && at <= indexedBy) << fromRegister[i].toStdString();
        }
        EXPECT_TRUE(window->statusLabel->text().endsWith("Answered from the register " + database));
    }
    window->close();
    EXPECT_EQ(option("SearchRegister"), "1");
}

// An empty folder searches every drawing the register holds, named by their whole paths; the
// search over the drawings still asks for a folder.
TEST_F(SearchRegisterTest, AnEmptyFolderSearchesTheWholeRegister) {
    index();
    open(drawing::drawingFileReaderFactory());
    text = "pump";
    window->fullPathCheck->setChecked(true);
    const QStringList drawings = searched(false);
    ASSERT_GT(drawings.size(), 1);
    ASSERT_TRUE(drawings[1].startsWith(folder + "/")) << drawings[1].toStdString();
    window->fullPathCheck->setChecked(false);
    window->registerCheck->setChecked(true);
    window->searchTextEdit->setText(text);
    window->folderEdit->setText("  ");
    window->searchButton->click();
    const QStringList whole = shownLines();
    ASSERT_EQ(whole.size(), drawings.size());
    for (qsizetype i = 1; i < drawings.size(); ++i)
        EXPECT_EQ(whole[i].left(whole[i].lastIndexOf(',')), drawings[i]);
    EXPECT_EQ(fakes.dialogs.messageTexts(), QStringList());

    window->registerCheck->setChecked(false);
    window->searchButton->click();
    EXPECT_EQ(fakes.dialogs.messageTexts(), QStringList{"Enter folder."});
}

TEST_F(SearchRegisterTest, NoRegisterYetIsSaidAndNothingIsMade) {
    open(drawing::drawingFileReaderFactory());
    text = "pump";
    EXPECT_EQ(searched(true), QStringList());
    EXPECT_EQ(fakes.dialogs.messageTexts(),
              QStringList{"No register at " + database +
                          " yet: index its folders with the Register button of the main window "
                          "first."});
    EXPECT_FALSE(QFile::exists(database));
}

}  // namespace
