#include <QKeyEvent>

#include "form1_fixture.h"

namespace {

TEST_F(Form1Test, FirstStartShowsTheCreatedDefaults) {
    Form1& w = load();
    EXPECT_EQ(w.windowTitle(), "Quillon");
    EXPECT_EQ(w.Dir1->path(), QDir(appDir.path()).absolutePath());
    EXPECT_EQ(w.Dir3->path(), QDir(appDir.path()).absolutePath());
    EXPECT_EQ(w.Drive1->drive(), w.Drive3->drive());
    EXPECT_EQ(w.mstrTPath, appDir.path());
    EXPECT_EQ(w.drawingFolder, appDir.path());
    EXPECT_TRUE(w.Option1->isChecked());
    EXPECT_TRUE(w.Option3->isChecked());
    EXPECT_EQ(w.Text1->text(), "file.txt");
    EXPECT_EQ(w.Text5->text(), "*.dwg");
    EXPECT_EQ(w.Text2->text(), "1");
    EXPECT_EQ(w.Text3->text(), "1");
    EXPECT_EQ(w.Text4->text(), "2");
    for (QCheckBox* on : {w.Check1, w.Check2, w.Check4, w.Check7, w.Check8, w.Check9, w.Check10}) {
        EXPECT_EQ(checkValue(on), 1) << on->objectName().toStdString();
    }
    for (QCheckBox* off : {w.Check3, w.Check5, w.Check6}) {
        EXPECT_EQ(checkValue(off), 0) << off->objectName().toStdString();
    }
    EXPECT_EQ(w.Label4->text(), "Welcome to Quillon! Press the F1 key for help.");
    EXPECT_FALSE(w.mblnLoading);
    for (QPushButton* b : {w.Command1, w.Command3, w.Command6, w.Command7, w.Command16}) {
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    }
}

TEST_F(Form1Test, StoredSettingsAreRestoredAndBadOnesSkipped) {
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
    setOption("TStamp", "yes");  // not a number: Check6 keeps its created state
    setOption("Transpose", "1");
    setOption("File", "out.csv");
    setOption("Drive", "/no/such/root");  // a root that is gone leaves the drive list alone
    Form1& w = load();
    EXPECT_EQ(w.Dir1->path(), drawings);
    EXPECT_EQ(items(w.List2), QStringList{"a.dxf"});
    EXPECT_EQ(items(w.List1), QStringList{"t.txt"});
    EXPECT_TRUE(w.Option2->isChecked()) << "a stored CDF of False turns SDF on";
    EXPECT_EQ(w.Text4->text(), "3");
    EXPECT_EQ(checkValue(w.Check1), 0);
    EXPECT_FALSE(w.Check5->isVisibleTo(&w));
    EXPECT_EQ(checkValue(w.Check6), 0);
    EXPECT_EQ(checkValue(w.Check3), 1);
    EXPECT_EQ(w.Text1->text(), "out.csv");
}

TEST_F(Form1Test, UnloadStoresEverySettingAsText) {
    Form1& w = load();
    w.Option2->setChecked(true);
    w.Check6->setChecked(true);
    w.Text5->setText("*.dxf");
    w.mstrEFile = "book.xlsx";
    w.close();
    const auto& s = fakes.settings;
    EXPECT_EQ(s.get("Options", "CDF"), "False");
    EXPECT_EQ(s.get("Options", "SFile"), "True");
    EXPECT_EQ(s.get("Options", "SClip"), "False");
    EXPECT_EQ(s.get("Options", "TStamp"), "1");
    EXPECT_EQ(s.get("Options", "Transpose"), "0");
    EXPECT_EQ(s.get("Options", "FExt"), "*.dxf");
    EXPECT_EQ(s.get("Options", "EFile"), "book.xlsx");
    EXPECT_EQ(s.get("Options", "Dir"), w.Dir1->path());
    EXPECT_EQ(s.get("Options", "Spaces"), "2");
    EXPECT_TRUE(s.get("Options", "DWGFolder").isEmpty()) << "kept by the file specifications";
}

TEST_F(Form1Test, CommandLineNamesADrawingListFile) {
    Form1& w = load("  /no/such/jobs.dlf  ");
    EXPECT_EQ(w.Label4->text(), "Passed file '/no/such/jobs.dlf' does not exist.");
    EXPECT_EQ(fakes.ui.beeps, 1);
    EXPECT_TRUE(w.mstrCmdLine.isEmpty()) << "the next click on File shows the Open dialog";

    Form1& p = load("/p");
    EXPECT_EQ(p.Label4->text(), "Welcome to Quillon! Press the F1 key for help.");
    EXPECT_TRUE(fakes.dialogs.shown().empty());
}

TEST_F(Form1Test, SmallScreensAreWarnedEveryTime) {
    Form1& w = load();
    fakes.ui.screen = QSize(1024, 480);
    w.Form_Activate();
    EXPECT_TRUE(fakes.dialogs.shown().empty()) << "only one dimension is small";
    fakes.ui.screen = QSize(640, 480);
    w.Form_Activate();
    w.Form_Activate();
    ASSERT_EQ(fakes.dialogs.messageTexts().size(), 2);
    EXPECT_EQ(fakes.dialogs.messageTexts()[0],
              "Quillon is best suited for display setting 600 by 800 and greater.");
    EXPECT_EQ(fakes.dialogs.messages()[0].icon, platform::MessageIcon::None);
}

TEST_F(Form1Test, IncludeDrawingNameControlsItsTwoOptions) {
    Form1& w = load();
    w.Check5->setChecked(true);
    w.Check6->setChecked(true);
    w.Check1->setChecked(false);
    EXPECT_FALSE(w.Check5->isVisibleTo(&w));
    EXPECT_FALSE(w.Check6->isVisibleTo(&w));
    EXPECT_FALSE(w.Check5->isChecked());
    EXPECT_FALSE(w.Check6->isChecked());
    w.Check1->setChecked(true);
    EXPECT_TRUE(w.Check5->isVisibleTo(&w));
}

TEST_F(Form1Test, F1OpensTheFaqAndEscapeCloses) {
    Form1& w = load();
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

TEST_F(Form1Test, ControlsKeepTheirCaptionsFontsAndColours) {
    Form1& w = load();
    EXPECT_EQ(w.Command15->text(), "5) &Extract Attributes");
    EXPECT_EQ(w.Command15->toolTip(), " Extract attributes from selected drawings ");
    EXPECT_TRUE(w.Frame1->font().bold());
    EXPECT_FALSE(w.List2->font().bold());
    EXPECT_FALSE(w.Frame5->font().bold());
    EXPECT_TRUE(w.Command1->font().bold());
    EXPECT_GT(w.Command1->font().pointSizeF(), w.Option1->font().pointSizeF());
    EXPECT_EQ(w.Label4->palette().color(QPalette::WindowText), QColor(0xC0, 0, 0));
    EXPECT_EQ(w.Label3->palette().color(QPalette::WindowText), QColor(0, 0, 0xC0));
    EXPECT_EQ(w.List2->selectionMode(), QAbstractItemView::MultiSelection);
    EXPECT_EQ(w.List1->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(w.Text4->isVisibleTo(&w));
    EXPECT_EQ(w.Text4->maxLength(), 2);
}

}  // namespace

namespace {

TEST_F(Form1Test, SettingsStoredAtUnloadComeBackAtTheNextLoad) {
    const QString drawings = makeFolder("drawings");
    Form1& first = load();
    first.Dir1->setPath(drawings);
    first.Option2->setChecked(true);
    first.Option4->setChecked(true);
    first.Text4->setText("4");
    first.Text5->setText("*.dxf");
    first.Text1->setText("records.csv");
    first.Check5->setChecked(true);
    first.Check3->setChecked(true);
    first.close();

    Form1& second = load();
    EXPECT_EQ(second.Dir1->path(), drawings);
    EXPECT_TRUE(second.Option2->isChecked());
    EXPECT_TRUE(second.Option4->isChecked());
    EXPECT_FALSE(second.Option3->isChecked());
    EXPECT_EQ(second.Text4->text(), "4");
    EXPECT_EQ(second.Text5->text(), "*.dxf");
    EXPECT_EQ(second.Text1->text(), "records.csv");
    EXPECT_EQ(checkValue(second.Check5), 1);
    EXPECT_EQ(checkValue(second.Check3), 1);
}

}  // namespace
