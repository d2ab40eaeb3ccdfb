// SPDX-License-Identifier: GPL-3.0-or-later
// The saved file patterns: loading, Add, Edit, Delete, Select and the writing back.

#include "filespecs/file_spec_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "platform/scratch_folder.h"
#include "support/gui/fake_platform.h"
#include "support/gui/layout_faults.h"
#include "support/qt_printers.h"

namespace {

using platform::DialogButton;
using Kind = fake::ShownBox::Kind;

class FileSpecWindowTest : public ::testing::Test {
protected:
    // The stored list; counting of writes starts after it.
    void store(const std::map<QString, QString>& keys) {
        for (const auto& [key, value] : keys) fakes.settings.set("FSpec", key, value);
        fakes.settings.writes = 0;
    }
    FileSpecWindow& open(const QString& drawingFolder = {}) {
        window = std::make_unique<FileSpecWindow>(fakes.platform(), scratch.path(), drawingFolder);
        return *window;
    }
    void selectRow(int row) {
        window->specList->setCurrentRow(row);
        ASSERT_TRUE(window->specList->item(row)->isSelected());
    }
    std::map<QString, QString> section(const QString& name) const {
        std::map<QString, QString> keys;
        for (const auto& [key, value] : fakes.settings.values) {
            if (key.first == name) keys[key.second] = value;
        }
        return keys;
    }
    // How many of Edit, Delete and Select can be pressed: all or none.
    int enabledButtons() const {
        return int{window->editButton->isEnabled()} + int{window->deleteButton->isEnabled()} +
               int{window->selectButton->isEnabled()};
    }

    ScratchFolder scratch;
    fake::FakePlatform fakes;
    std::unique_ptr<FileSpecWindow> window;
};

TEST_F(FileSpecWindowTest, LoadsUpToTheFirstGapAndRewritesTheListWithoutGaps) {
    store({{"Dir0", "/a/*.dwg"}, {"Dir1", "/b/*.dwg"}, {"Dir3", "/d/*.dwg"}});
    open();
    EXPECT_EQ(window->windowTitle(), "Quillon - File Specifications Screen");
    EXPECT_EQ(window->patterns(), QStringList({"/a/*.dwg", "/b/*.dwg"}));
    EXPECT_EQ(window->totalLabel->text(), "Total: 2");
    EXPECT_EQ(window->specList->toolTip(), " Double-click on file spec to use ");
    EXPECT_EQ(enabledButtons(), 0);

    selectRow(1);
    EXPECT_EQ(enabledButtons(), 3);
    fakes.dialogs.answerInput("  /b/plan*.dwg  ");
    window->editPattern();
    ASSERT_EQ(fakes.dialogs.shown().size(), 1u);
    EXPECT_EQ(fakes.dialogs.shown()[0].input.caption, "Edit File Specification");
    EXPECT_EQ(fakes.dialogs.shown()[0].input.prompt, "File Specification");
    EXPECT_EQ(fakes.dialogs.shown()[0].input.defaultText, "/b/*.dwg");
    window->reject();

    EXPECT_EQ(section("FSpec"),
              (std::map<QString, QString>{{"Dir0", "/a/*.dwg"}, {"Dir1", "/b/plan*.dwg"}}));
    // The shared folder is written with the list, unchanged here.
    EXPECT_EQ(fakes.settings.get("Options", "DWGFolder", "<none>"), "");
}

TEST_F(FileSpecWindowTest, NothingIsWrittenWhenTheListDidNotChange) {
    store({{"Dir0", "/a/*.dwg"}});
    open("/a");
    fakes.dialogs.answerFolder("");  // picker cancelled
    window->addPattern();
    fakes.dialogs.answerFolder(scratch.path());
    fakes.dialogs.cancelInput();
    window->addPattern();
    selectRow(0);
    fakes.dialogs.cancelInput();
    window->editPattern();
    fakes.dialogs.answerButton(DialogButton::No);
    window->deletePattern();
    window->reject();
    EXPECT_FALSE(window->listChanged());
    EXPECT_EQ(fakes.settings.writes, 0);
    EXPECT_EQ(fakes.ui.hourglassBegins, 0);
}

TEST_F(FileSpecWindowTest, AddRefusesADuplicateIgnoringLetterCaseAndAsksAgain) {
    store({{"Dir0", "/Dwg/*.dwg"}});
    open(scratch.path());
    const QString chosen = scratch.makeFolder("Jobs");
    fakes.dialogs.answerFolder(chosen);
    fakes.dialogs.answerInput("/dwg/*.DWG");     // refused: already listed
    fakes.dialogs.answerInput(" /dwg/a*.dwg ");  // added, trimmed
    fakes.dialogs.answerInput("/DWG/A*.DWG");    // refused: just added
    fakes.dialogs.answerInput("");               // ends the loop
    window->addPattern();

    EXPECT_EQ(window->patterns(), QStringList({"/Dwg/*.dwg", "/dwg/a*.dwg"}));
    EXPECT_EQ(window->totalLabel->text(), "Total: 2");
    EXPECT_EQ(window->drawingFolder(), chosen);
    const auto& shown = fakes.dialogs.shown();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0].kind, Kind::Folder);
    EXPECT_EQ(shown[0].folder.caption, "Choose the folder of the DWG or DXF drawings");
    EXPECT_EQ(shown[0].folder.startFolder, scratch.path());
    for (std::size_t i = 1; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].input.caption, "Add File Specification");
        EXPECT_TRUE(shown[i].input.prompt.startsWith("File Specification\r\n\r\nExamples: "));
        EXPECT_EQ(shown[i].input.defaultText, chosen + "/*.dwg");
    }

    window->reject();
    EXPECT_EQ(section("FSpec"),
              (std::map<QString, QString>{{"Dir0", "/Dwg/*.dwg"}, {"Dir1", "/dwg/a*.dwg"}}));
    EXPECT_EQ(fakes.settings.get("Options", "DWGFolder"), chosen);
    EXPECT_EQ(fakes.ui.hourglassBegins, 1);
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
}

// Select, or a double click on the entry.
TEST_F(FileSpecWindowTest, SelectHandsFolderAndPatternOrThePatternAlone) {
    const QString jobs = scratch.makeFolder("Jobs/A1");
    struct Case {
        QString pattern;
        FileSpecWindow::Choice expected;
        bool doubleClick;
    };
    const Case cases[] = {
        {jobs + "/plan*.dwg", {jobs + "/", "plan*.dwg"}, false},
        // Written in another letter case: the folder as it is on disk.
        {scratch.path("jobs/a1/plan*.dwg"), {jobs + "/", "plan*.dwg"}, false},
        {"plan*.dwg", {"", "plan*.dwg"}, true},
        {"sub/plan*.dwg", {"", "sub/plan*.dwg"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern.toStdString());
        fakes.settings.values.clear();
        store({{"Dir0", "/elsewhere/*.dwg"}, {"Dir1", c.pattern}});
        open();
        window->show();
        selectRow(1);
        if (c.doubleClick) {
            const QPoint place =
                window->specList->visualItemRect(window->specList->item(1)).center();
            QTest::mouseClick(window->specList->viewport(), Qt::LeftButton, {}, place);
            QTest::mouseDClick(window->specList->viewport(), Qt::LeftButton, {}, place);
        } else {
            window->selectButton->click();
        }
        ASSERT_TRUE(window->choice().has_value());
        EXPECT_EQ(*window->choice(), c.expected);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->result(), QDialog::Accepted);
        EXPECT_EQ(fakes.settings.writes, 0);
    }
}

TEST_F(FileSpecWindowTest, AFolderThatNoLongerExistsIsReportedAndNotSelected) {
    const QString gone = scratch.path("gone/deeper");
    store({{"Dir0", gone + "/*.dwg"}});
    open(gone);
    window->show();
    selectRow(0);
    window->selectPattern();
    EXPECT_FALSE(window->choice().has_value());
    EXPECT_TRUE(window->isVisible());  // the user can edit or delete the entry
    ASSERT_EQ(fakes.dialogs.messages().size(), 1u);
    const auto message = fakes.dialogs.messages()[0];
    EXPECT_EQ(message.caption, "Quillon");
    EXPECT_EQ(message.icon, platform::MessageIcon::Exclamation);
    EXPECT_TRUE(message.text.contains(gone + "/")) << message.text.toStdString();

    // Add starts in the nearest folder above the stored one that still exists.
    fakes.dialogs.answerFolder("");
    window->addPattern();
    EXPECT_EQ(fakes.dialogs.shown().back().folder.startFolder, scratch.path());
}

TEST_F(FileSpecWindowTest, DeleteAsksWithNoPresetAndKeepsTheSelectionInPlace) {
    store({{"Dir0", "a*.dwg"}, {"Dir1", "b*.dwg"}, {"Dir2", "c*.dwg"}});
    open();
    selectRow(1);
    fakes.dialogs.answerButton(DialogButton::No);
    window->deletePattern();
    EXPECT_EQ(window->specList->count(), 3);
    const auto question = fakes.dialogs.messages().at(0);
    EXPECT_EQ(question.caption, "Delete File Specification");
    EXPECT_EQ(question.text, "Are you sure you want to delete the selected file specification?");
    EXPECT_EQ(question.icon, platform::MessageIcon::Question);
    EXPECT_EQ(question.buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(question.preset, DialogButton::No);

    fakes.dialogs.answerButton(DialogButton::Yes);
    window->deletePattern();
    EXPECT_EQ(window->patterns(), QStringList({"a*.dwg", "c*.dwg"}));
    EXPECT_EQ(window->specList->selectedItems().size(), 1);
    EXPECT_EQ(window->specList->selectedItems()[0]->text(), "c*.dwg");
    EXPECT_EQ(window->totalLabel->text(), "Total: 2");

    // Deleting the last entry leaves nothing selected.
    fakes.dialogs.answerButton(DialogButton::Yes);
    window->deletePattern();
    EXPECT_EQ(window->patterns(), QStringList({"a*.dwg"}));
    EXPECT_TRUE(window->specList->selectedItems().isEmpty());
    EXPECT_EQ(enabledButtons(), 0);

    // Deleting the only entry empties count, tip and section; Select has nothing to hand over.
    selectRow(0);
    fakes.dialogs.answerButton(DialogButton::Yes);
    window->deletePattern();
    EXPECT_EQ(window->specList->count(), 0);
    EXPECT_EQ(window->totalLabel->text(), "");
    EXPECT_EQ(window->specList->toolTip(), "");
    EXPECT_EQ(enabledButtons(), 0);
    window->selectPattern();
    EXPECT_FALSE(window->choice().has_value());
    window->reject();
    EXPECT_TRUE(section("FSpec").empty());
}

TEST_F(FileSpecWindowTest, AnEmptyListKeepsTheBareCountCaption) {
    open();
    EXPECT_EQ(window->totalLabel->text(), "Total:");
    EXPECT_EQ(window->specList->toolTip(), "");
    EXPECT_TRUE(window->addButton->isEnabled());
    EXPECT_TRUE(window->closeButton->isEnabled());
}

TEST_F(FileSpecWindowTest, F1ShowsTheHelpAndEscapeClosesWithoutWriting) {
    store({{"Dir0", "a*.dwg"}});
    open();
    window->show();
    QTest::keyClick(window->specList, Qt::Key_F1);
    const QWidget* help = window->findChild<QWidget*>("helpWindow");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    QTest::keyClick(window->specList, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->choice().has_value());
    EXPECT_EQ(fakes.settings.writes, 0);
}

TEST_F(FileSpecWindowTest, EveryCaptionFits) {
    store({{"Dir0", "a*.dwg"}});
    open();
    QFont large = window->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    window->setFont(large);
    window->show();
    QApplication::processEvents();
    EXPECT_EQ(fake::layoutFaults(*window), QStringList());
}

}  // namespace

// QUILLON_SCREENSHOT_DIR=/tmp/shots test_filespecs --gtest_filter=*Screenshot* saves the window
// as saved_patterns_window.png, to look at.
TEST_F(FileSpecWindowTest, Screenshot) {
    const QString folder = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    store({{"Dir0", "/home/me/jobs/A1/plan*.dwg"},
           {"Dir1", "/home/me/jobs/elec/e*.dxf"},
           {"Dir2", "plan*.dwg"}});
    open();
    window->show();
    selectRow(1);
    QApplication::processEvents();
    EXPECT_TRUE(window->grab().save(QDir(folder).filePath("saved_patterns_window.png")));
}
