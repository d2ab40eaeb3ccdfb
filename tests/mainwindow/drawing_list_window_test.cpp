// SPDX-License-Identifier: GPL-3.0-or-later
// What a drawing list run does to the window: the list chosen or named on the command line, the
// options its header ticks, the program's end at END, and lists that cannot be read. What the
// run extracts and sends is the runner's, tested with it.

#include <sys/stat.h>
#include <unistd.h>

#include "mainwindow/main_window_fixture.h"

namespace {

class DrawingListWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        drawings = makeFolder("dwg");
        out = makeFolder("out");
        addTitleDrawing(drawings + "/a.dwg");
    }
    QString line(const QString& drawing) const {
        return drawings + "/" + drawing + "," + appDir.filePath("title.txt") + "\r\n";
    }
    QString listFile(const QString& text) {
        const QString path = appDir.filePath("run.dlf");
        touch(path, text.toUtf8());
        return path;
    }

    QString drawings;
    QString out;
};

TEST_F(DrawingListWindowTest, EndEndsTheProgramWithTheListsStatusAndStoresNoSettings) {
    const struct {
        const char* name;
        bool fromCommandLine;
        bool failedLine;
        int status;  // a script learns from it whether a line failed
    } cases[] = {
        {"command line, every line done", true, false, 0},
        {"command line, a drawing missing", true, true, MainWindow::kFailedListStatus},
        {"chosen in the dialog, a drawing missing", false, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        endedWith.reset();
        const QString path = listFile("DWGNAME\r\n" + line(c.failedLine ? "gone.dwg" : "a.dwg") +
                                      "END\r\n" + line("a.dwg"));
        const int writes = fakes.settings.writes;
        if (c.fromCommandLine) {
            load(path);
        } else {
            load();
            runListFile(QString::fromUtf8(testfiles::read(path)));
        }
        EXPECT_EQ(endedWith, c.status);
        EXPECT_EQ(fakes.settings.writes, writes) << "END leaves the settings unstored";
        window->close();
        EXPECT_EQ(fakes.settings.writes, writes) << "nor does closing the ended window";
    }
}

TEST_F(DrawingListWindowTest, TheHeaderTicksTheOptionsAndTheWindowShowsTheRun) {
    load();
    // Unticking "Include Drawing Name" unticks the two options it governs: Timestamp is ticked
    // after it.
    setCheckValue(ui.includeDrawingNameCheck, CheckValue::Unchecked);
    setCheckValue(ui.timestampCheck, CheckValue::Checked);
    runListFile("NODWGNAME\r\n" + line("a.dwg") + "EXTRACT TO FILE " + out + "/t.txt, APPEND\r\n");
    EXPECT_EQ(checkValue(ui.includeDrawingNameCheck), CheckValue::Unchecked);
    EXPECT_EQ(checkValue(ui.timestampCheck), CheckValue::Checked) << "NODWGNAME leaves it";
    // The window shows the last send line's options.
    EXPECT_EQ(checkValue(ui.textAppendCheck), CheckValue::Unchecked);
    EXPECT_EQ(checkValue(ui.includeTagsCheck), CheckValue::Unchecked);

    runListFile("FULLDWGNAMETS\r\n" + line("a.dwg") + line("gone.dwg"));
    EXPECT_EQ(checkValue(ui.fullPathCheck), CheckValue::Checked);
    EXPECT_EQ(checkValue(ui.timestampCheck), CheckValue::Checked);
    EXPECT_TRUE(ui.statusLabel->text().startsWith("Attributes from 1 file(s) extracted in "))
        << ui.statusLabel->text().toStdString();
    EXPECT_TRUE(ui.clearRecordsButton->isEnabled());
    EXPECT_EQ(selectedRecordCount(), 1) << "the run's records stay selected";

    runListFile("DWGNAME\r\n" + line("gone.dwg"));
    EXPECT_EQ(ui.statusLabel->text(), "No attributes extracted.");
}

TEST_F(DrawingListWindowTest, TheFileButtonAsksForAListInTheProgramFolder) {
    load();
    fakes.dialogs.answerOpenFile({});
    ui.drawingListFileButton->click();
    ASSERT_EQ(fakes.dialogs.shown().size(), 1u);
    const platform::FileDialogRequest& asked = fakes.dialogs.shown()[0].file;
    EXPECT_EQ(asked.caption, "Open Drawing List File");
    EXPECT_EQ(asked.filter, "DLF Files (*.dlf)|*.dlf|All Files (*.*)|*.*");
    EXPECT_EQ(asked.folder, appDir.path());
}

// A list that cannot be read says why, leaves the records of the run before it, and is not run
// again by the next click.
TEST_F(DrawingListWindowTest, AListThatCannotBeReadSaysWhyAndLeavesNothingPending) {
    const QString folder = makeFolder("folder.dlf");
    const QString locked = listFile("DWGNAME\r\n");
    std::vector<std::pair<QString, const char*>> cases = {{folder, "directory"}};
    if (::geteuid() != 0) {  // the administrator reads everything
        ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
        cases.emplace_back(locked, "ermission");
    }
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.toStdString());
        load(path);
        const QString status = ui.statusLabel->text();
        EXPECT_TRUE(status.startsWith("Cannot read the drawing list file " + path + ": "))
            << status.toStdString();
        EXPECT_TRUE(status.contains(reason)) << status.toStdString();
        EXPECT_EQ(fakes.ui.hourglassDepth, 0);
        fakes.dialogs.answerOpenFile({});
        fakes.dialogs.clearShown();
        ui.drawingListFileButton->click();
        EXPECT_EQ(fakes.dialogs.shown().size(), 1u) << "the next click asks for a list";
    }
    ::chmod(QFile::encodeName(locked).constData(), 0600);

    runListFile("DWGNAME\r\n" + line("a.dwg"));
    const QStringList before = ui.records->texts();
    const int beeps = fakes.ui.beeps;
    fakes.dialogs.answerOpenFile(folder);
    ui.drawingListFileButton->click();
    EXPECT_TRUE(ui.statusLabel->text().startsWith("Cannot read the drawing list file " + folder));
    EXPECT_EQ(fakes.ui.beeps, beeps + 1);
    EXPECT_EQ(ui.records->texts(), before);
}

TEST_F(DrawingListWindowTest, ADriveThatCannotBeReadSaysWhichAndWhy) {
    const QString locked = makeFolder("locked");
    std::vector<std::pair<QString, QString>> cases = {
        {"/no/such/root", "Cannot read /no/such/root: it is no longer mounted."}};
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
        cases.emplace_back(locked, "Cannot read " + locked + ": permission denied.");
    }
    load();
    for (const auto& [root, text] : cases) {
        const std::size_t boxes = fakes.dialogs.messages().size();
        ui.drawingDriveList->addItem(root, root);
        const int index = ui.drawingDriveList->count() - 1;
        ui.drawingDriveList->setCurrentIndex(index);
        emit ui.drawingDriveList->activated(index);
        ASSERT_EQ(fakes.dialogs.messages().size(), boxes + 1);
        EXPECT_EQ(fakes.dialogs.messages().back().text, text);
        EXPECT_EQ(fakes.dialogs.messages().back().caption, "Quillon");
        EXPECT_EQ(ui.drawingDriveList->currentIndex(), 0) << "back on the first drive";
    }
    ::chmod(QFile::encodeName(locked).constData(), 0700);
}

}  // namespace
