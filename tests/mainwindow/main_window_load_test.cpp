// SPDX-License-Identifier: GPL-3.0-or-later
#include <QKeyEvent>

#include "main_window_fixture.h"

namespace {

TEST_F(MainWindowTest, FirstStartShowsTheCreatedDefaults) {
    MainWindow& w = load();
    EXPECT_EQ(w.windowTitle(), "Quillon");
    EXPECT_EQ(w.drawingFolderList->path(), QDir(appDir.path()).absolutePath());
    EXPECT_EQ(w.templateFolderList->path(), QDir(appDir.path()).absolutePath());
    EXPECT_EQ(w.drawingDriveList->drive(), w.templateDriveList->drive());
    EXPECT_EQ(w.m_textFolder, appDir.path());
    EXPECT_EQ(w.drawingFolder, appDir.path());
    EXPECT_TRUE(w.cdfOption->isChecked());
    EXPECT_TRUE(w.textFileOption->isChecked());
    EXPECT_EQ(w.newFileEdit->text(), "file.txt");
    EXPECT_EQ(w.drawingPatternEdit->text(), "*.dwg");
    EXPECT_EQ(w.rowEdit->text(), "1");
    EXPECT_EQ(w.columnEdit->text(), "1");
    EXPECT_EQ(w.fieldSpacesEdit->text(), "2");
    for (QCheckBox* on :
         {w.includeDrawingNameCheck, w.textAppendCheck, w.databaseAppendCheck,
          w.documentAppendCheck, w.createTableCheck, w.includeTagsCheck, w.fitColumnsCheck}) {
        EXPECT_EQ(checkValue(on), 1) << on->objectName().toStdString();
    }
    for (QCheckBox* off : {w.transposeCheck, w.fullPathCheck, w.timestampCheck}) {
        EXPECT_EQ(checkValue(off), 0) << off->objectName().toStdString();
    }
    EXPECT_EQ(w.statusLabel->text(), "Welcome to Quillon! Press the F1 key for help.");
    EXPECT_FALSE(w.m_loading);
    for (QPushButton* b : {w.sendButton, w.clearRecordsButton, w.selectAllRecordsButton,
                           w.unselectAllRecordsButton, w.clearRecordSelectionButton}) {
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, StoredSettingsAreRestoredAndBadOnesSkipped) {
    const QString drawings = makeFolder("drawings");
    const QString templates = makeFolder("templates");
    touch(drawings + "/a.dxf");
    touch(templates + "/t.txt");
    setOption("Dir", drawings);
    setOption("Dir3", templates);
    setOption("FExt", "*.dxf");
    setOption("CDF", "False");
    setOption("Spaces", "3");
    setOption("FName", "0");
    setOption("TStamp", "yes");  // not a number: timestampCheck keeps its created state
    setOption("Transpose", "1");
    setOption("File", "out.csv");
    setOption("Drive", "/no/such/root");  // a root that is gone leaves the drive list alone
    MainWindow& w = load();
    EXPECT_EQ(w.drawingFolderList->path(), drawings);
    EXPECT_EQ(items(w.drawingList), QStringList{"a.dxf"});
    EXPECT_EQ(items(w.templateList), QStringList{"t.txt"});
    EXPECT_TRUE(w.sdfOption->isChecked()) << "a stored CDF of False turns SDF on";
    EXPECT_EQ(w.fieldSpacesEdit->text(), "3");
    EXPECT_EQ(checkValue(w.includeDrawingNameCheck), 0);
    EXPECT_FALSE(w.fullPathCheck->isVisibleTo(&w));
    EXPECT_EQ(checkValue(w.timestampCheck), 0);
    EXPECT_EQ(checkValue(w.transposeCheck), 1);
    EXPECT_EQ(w.newFileEdit->text(), "out.csv");
}

TEST_F(MainWindowTest, UnloadStoresEverySettingAsText) {
    MainWindow& w = load();
    w.sdfOption->setChecked(true);
    w.timestampCheck->setChecked(true);
    w.drawingPatternEdit->setText("*.dxf");
    w.m_savedWorkbook = "book.xlsx";
    w.close();
    const auto& s = fakes.settings;
    EXPECT_EQ(s.get("Options", "CDF"), "False");
    EXPECT_EQ(s.get("Options", "SFile"), "True");
    EXPECT_EQ(s.get("Options", "SClip"), "False");
    EXPECT_EQ(s.get("Options", "TStamp"), "1");
    EXPECT_EQ(s.get("Options", "Transpose"), "0");
    EXPECT_EQ(s.get("Options", "FExt"), "*.dxf");
    EXPECT_EQ(s.get("Options", "EFile"), "book.xlsx");
    EXPECT_EQ(s.get("Options", "Dir"), w.drawingFolderList->path());
    EXPECT_EQ(s.get("Options", "Spaces"), "2");
    EXPECT_TRUE(s.get("Options", "DWGFolder").isEmpty()) << "kept by the file specifications";
}

TEST_F(MainWindowTest, CommandLineNamesADrawingListFile) {
    MainWindow& w = load("  /no/such/jobs.dlf  ");
    EXPECT_EQ(w.statusLabel->text(), "Passed file '/no/such/jobs.dlf' does not exist.");
    EXPECT_EQ(fakes.ui.beeps, 1);
    EXPECT_TRUE(w.m_commandLine.isEmpty()) << "the next click on File shows the Open dialog";

    MainWindow& p = load("/p");
    EXPECT_EQ(p.statusLabel->text(), "Welcome to Quillon! Press the F1 key for help.");
    EXPECT_TRUE(fakes.dialogs.shown().empty());
}

TEST_F(MainWindowTest, SmallScreensAreWarnedEveryTime) {
    MainWindow& w = load();
    fakes.ui.screen = QSize(1024, 480);
    w.activate();
    EXPECT_TRUE(fakes.dialogs.shown().empty()) << "only one dimension is small";
    fakes.ui.screen = QSize(640, 480);
    w.activate();
    w.activate();
    ASSERT_EQ(fakes.dialogs.messageTexts().size(), 2);
    EXPECT_EQ(fakes.dialogs.messageTexts()[0],
              "Quillon is best suited for display setting 600 by 800 and greater.");
    EXPECT_EQ(fakes.dialogs.messages()[0].icon, platform::MessageIcon::None);
}

TEST_F(MainWindowTest, IncludeDrawingNameControlsItsTwoOptions) {
    MainWindow& w = load();
    w.fullPathCheck->setChecked(true);
    w.timestampCheck->setChecked(true);
    w.includeDrawingNameCheck->setChecked(false);
    EXPECT_FALSE(w.fullPathCheck->isVisibleTo(&w));
    EXPECT_FALSE(w.timestampCheck->isVisibleTo(&w));
    EXPECT_FALSE(w.fullPathCheck->isChecked());
    EXPECT_FALSE(w.timestampCheck->isChecked());
    w.includeDrawingNameCheck->setChecked(true);
    EXPECT_TRUE(w.fullPathCheck->isVisibleTo(&w));
}

TEST_F(MainWindowTest, F1OpensTheFaqAndEscapeCloses) {
    MainWindow& w = load();
    w.show();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&w, &f1);
    using Call = fake::RecordingShell::Call;
    ASSERT_EQ(fakes.shell.calls.size(), 1u);
    EXPECT_EQ(fakes.shell.calls[0], (Call{Call::Kind::TextEditor, appDir.filePath("faq.fil")}));
    QKeyEvent shiftF1(QEvent::KeyPress, Qt::Key_F1, Qt::ShiftModifier);
    QApplication::sendEvent(&w, &shiftF1);
    EXPECT_EQ(fakes.shell.calls.size(), 1u);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&w, &escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(fakes.settings.get("Options", "FExt"), "*.dwg") << "closing stored the settings";
}

TEST_F(MainWindowTest, SettingsStoredAtUnloadComeBackAtTheNextLoad) {
    const QString drawings = makeFolder("drawings");
    MainWindow& first = load();
    first.drawingFolderList->setPath(drawings);
    first.sdfOption->setChecked(true);
    first.clipboardOption->setChecked(true);
    first.fieldSpacesEdit->setText("4");
    first.drawingPatternEdit->setText("*.dxf");
    first.newFileEdit->setText("records.csv");
    first.fullPathCheck->setChecked(true);
    first.transposeCheck->setChecked(true);
    first.close();

    MainWindow& second = load();
    EXPECT_EQ(second.drawingFolderList->path(), drawings);
    EXPECT_TRUE(second.sdfOption->isChecked());
    EXPECT_TRUE(second.clipboardOption->isChecked());
    EXPECT_FALSE(second.textFileOption->isChecked());
    EXPECT_EQ(second.fieldSpacesEdit->text(), "4");
    EXPECT_EQ(second.drawingPatternEdit->text(), "*.dxf");
    EXPECT_EQ(second.newFileEdit->text(), "records.csv");
    EXPECT_EQ(checkValue(second.fullPathCheck), 1);
    EXPECT_EQ(checkValue(second.transposeCheck), 1);
}

}  // namespace
