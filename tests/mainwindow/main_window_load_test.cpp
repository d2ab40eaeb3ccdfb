// SPDX-License-Identifier: GPL-3.0-or-later
#include <QKeyEvent>

#include "main_window_fixture.h"

namespace {

TEST_F(MainWindowTest, FirstStartShowsTheCreatedDefaults) {
    MainWindow& w = load();
    EXPECT_EQ(w.windowTitle(), "Quillon");
    EXPECT_EQ(ui.drawingFolderList->path(), QDir(homeDir.path()).absolutePath());
    EXPECT_EQ(ui.templateFolderList->path(), QDir(homeDir.path()).absolutePath());
    EXPECT_EQ(ui.drawingDriveList->drive(), ui.templateDriveList->drive());
    EXPECT_EQ(stateOf(MainWindow::Destination::TextFile).folder, homeDir.path());
    EXPECT_EQ(w.sharedDrawingFolder(), homeDir.path());
    EXPECT_TRUE(ui.cdfOption->isChecked());
    EXPECT_TRUE(ui.textFileOption->isChecked());
    EXPECT_EQ(ui.newFileEdit->text(), "file.txt");
    EXPECT_EQ(ui.drawingPatternEdit->text(), "*.dwg;*.dxf");
    EXPECT_EQ(ui.rowEdit->text(), "1");
    EXPECT_EQ(ui.columnEdit->text(), "1");
    EXPECT_EQ(ui.fieldSpacesEdit->text(), "2");
    for (QCheckBox* on :
         {ui.includeDrawingNameCheck, ui.textAppendCheck, ui.databaseAppendCheck,
          ui.documentAppendCheck, ui.createTableCheck, ui.includeTagsCheck, ui.fitColumnsCheck}) {
        EXPECT_EQ(checkValue(on), CheckValue::Checked) << on->objectName().toStdString();
    }
    for (QCheckBox* off : {ui.transposeCheck, ui.fullPathCheck, ui.timestampCheck}) {
        EXPECT_EQ(checkValue(off), CheckValue::Unchecked) << off->objectName().toStdString();
    }
    EXPECT_EQ(ui.statusLabel->text(), "Welcome to Quillon! Press the F1 key for help.");
    for (QPushButton* b : {ui.sendButton, ui.clearRecordsButton, ui.selectAllRecordsButton,
                           ui.unselectAllRecordsButton, ui.clearRecordSelectionButton}) {
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
    EXPECT_EQ(ui.drawingFolderList->path(), drawings);
    EXPECT_EQ(items(ui.drawingList), QStringList{"a.dxf"});
    EXPECT_EQ(items(ui.templateList), QStringList{"t.txt"});
    EXPECT_TRUE(ui.sdfOption->isChecked()) << "a stored CDF of False turns SDF on";
    EXPECT_EQ(ui.fieldSpacesEdit->text(), "3");
    EXPECT_EQ(checkValue(ui.includeDrawingNameCheck), CheckValue::Unchecked);
    EXPECT_FALSE(ui.fullPathCheck->isVisibleTo(&w));
    EXPECT_EQ(checkValue(ui.timestampCheck), CheckValue::Unchecked);
    EXPECT_EQ(checkValue(ui.transposeCheck), CheckValue::Checked);
    EXPECT_EQ(ui.newFileEdit->text(), "out.csv");
}

TEST_F(MainWindowTest, UnloadStoresEverySettingAsText) {
    setOption("EFile", "book.xlsx");  // kept while the spreadsheet is not chosen
    MainWindow& w = load();
    ui.sdfOption->setChecked(true);
    ui.timestampCheck->setChecked(true);
    ui.drawingPatternEdit->setText("*.dxf");
    w.close();
    const auto& s = fakes.settings;
    EXPECT_EQ(s.get("Options", "CDF"), "False");
    EXPECT_EQ(s.get("Options", "SFile"), "True");
    EXPECT_EQ(s.get("Options", "SClip"), "False");
    EXPECT_EQ(s.get("Options", "TStamp"), "1");
    EXPECT_EQ(s.get("Options", "Transpose"), "0");
    EXPECT_EQ(s.get("Options", "FExt"), "*.dxf");
    EXPECT_EQ(s.get("Options", "EFile"), "book.xlsx");
    EXPECT_EQ(s.get("Options", "Dir"), ui.drawingFolderList->path());
    EXPECT_EQ(s.get("Options", "Spaces"), "2");
    EXPECT_TRUE(s.get("Options", "DWGFolder").isEmpty()) << "kept by the file specifications";
}

TEST_F(MainWindowTest, CommandLineNamesADrawingListFile) {
    MainWindow& w = load("  /no/such/jobs.dlf  ");
    EXPECT_EQ(ui.statusLabel->text(), "Passed file '/no/such/jobs.dlf' does not exist.");
    EXPECT_EQ(fakes.ui.beeps, 1);
    fakes.dialogs.answerOpenFile({});
    w.runDrawingListFile();
    ASSERT_EQ(fakes.dialogs.shown().size(), 1u) << "the next click on File shows the Open dialog";
    EXPECT_EQ(fakes.dialogs.shown()[0].kind, fake::ShownBox::Kind::OpenFile);
    fakes.dialogs.clearShown();

    load("/p");
    EXPECT_EQ(ui.statusLabel->text(), "Welcome to Quillon! Press the F1 key for help.");
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
    ui.fullPathCheck->setChecked(true);
    ui.timestampCheck->setChecked(true);
    ui.includeDrawingNameCheck->setChecked(false);
    EXPECT_FALSE(ui.fullPathCheck->isVisibleTo(&w));
    EXPECT_FALSE(ui.timestampCheck->isVisibleTo(&w));
    EXPECT_FALSE(ui.fullPathCheck->isChecked());
    EXPECT_FALSE(ui.timestampCheck->isChecked());
    ui.includeDrawingNameCheck->setChecked(true);
    EXPECT_TRUE(ui.fullPathCheck->isVisibleTo(&w));
}

TEST_F(MainWindowTest, F1ShowsTheHelpOnceAndEscapeCloses) {
    MainWindow& w = load();
    w.show();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&w, &f1);
    QApplication::sendEvent(&w, &f1);
    const QList<QWidget*> helps = w.findChildren<QWidget*>("helpWindow");
    ASSERT_EQ(helps.size(), 1) << "a second F1 brings the same help window to the front";
    EXPECT_TRUE(helps[0]->isVisible());
    helps[0]->close();
    QKeyEvent shiftF1(QEvent::KeyPress, Qt::Key_F1, Qt::ShiftModifier);
    QApplication::sendEvent(&w, &shiftF1);
    EXPECT_FALSE(helps[0]->isVisible());
    EXPECT_TRUE(fakes.shell.calls.empty());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&w, &escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(fakes.settings.get("Options", "FExt"), "*.dwg;*.dxf")
        << "closing stored the settings";
}

TEST_F(MainWindowTest, SettingsStoredAtUnloadComeBackAtTheNextLoad) {
    const QString drawings = makeFolder("drawings");
    MainWindow& first = load();
    ui.drawingFolderList->setPath(drawings);
    ui.sdfOption->setChecked(true);
    ui.clipboardOption->setChecked(true);
    ui.fieldSpacesEdit->setText("4");
    ui.drawingPatternEdit->setText("*.dxf");
    ui.newFileEdit->setText("records.csv");
    ui.fullPathCheck->setChecked(true);
    ui.transposeCheck->setChecked(true);
    first.close();

    load();
    EXPECT_EQ(ui.drawingFolderList->path(), drawings);
    EXPECT_TRUE(ui.sdfOption->isChecked());
    EXPECT_TRUE(ui.clipboardOption->isChecked());
    EXPECT_FALSE(ui.textFileOption->isChecked());
    EXPECT_EQ(ui.fieldSpacesEdit->text(), "4");
    EXPECT_EQ(ui.drawingPatternEdit->text(), "*.dxf");
    EXPECT_EQ(ui.newFileEdit->text(), "records.csv");
    EXPECT_EQ(checkValue(ui.fullPathCheck), CheckValue::Checked);
    EXPECT_EQ(checkValue(ui.transposeCheck), CheckValue::Checked);
}

}  // namespace
