// SPDX-License-Identifier: GPL-3.0-or-later
// The folder choices: paths typed or pasted, the folder chooser, the keyboard in the folder
// list, where a new user starts, drawings dropped from the file manager and recent entries.

#include <QCompleter>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "main_window_fixture.h"
#include "mainwindow/folder_path_box.h"

namespace {

class FolderChoiceTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        drawings = makeFolder("dwg");
        other = makeFolder("other");
        for (const char* name : {"a.dwg", "B.DXF", "notes.txt"}) touch(drawings + "/" + name);
        touch(other + "/c.dwg");
    }
    template <typename T>
    T* control(const char* name) const {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
    FolderPathBox* pathBox(const char* name) const { return control<FolderPathBox>(name); }
    // Types `text` over the path box's text and presses Enter, as a user does.
    void enter(FolderPathBox* box, const QString& text) {
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), text);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    }
    QStringList selected(const QListWidget* list) const { return MainWindow::selectedTexts(list); }

    QString drawings;
    QString other;
};

TEST_F(FolderChoiceTest, ATypedPathOpensItsFolderOrSaysWhyNot) {
    struct Case {
        const char* name;
        QString typed;
        QString folder;  // the folder shown after
        QStringList selected;
        QString status;
    };
    const QString missing = appDir.filePath("no such folder");
    const Case cases[] = {
        {"absolute", "  " + drawings + "  ", drawings, {}, {}},
        {"relative to the folder shown", "../other", other, {}, {}},
        {"letter case of an existing folder", appDir.filePath("DWG"), drawings, {}, {}},
        {"a drawing opens its folder, selected", other + "/c.dwg", other, {"c.dwg"}, {}},
        {"a file the pattern hides",
         drawings + "/notes.txt",
         drawings,
         {},
         "notes.txt is not listed here."},
        {"home", "~", homeDir.path(), {}, {}},
        {"missing", missing, drawings, {}, "There is no folder " + missing + "."},
    };
    setOption("Dir", drawings);
    load();
    FolderPathBox* box = pathBox("drawingPathBox");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.drawingFolderList->setPath(drawings);
        ui.statusLabel->clear();
        const int beeps = fakes.ui.beeps;
        enter(box, c.typed);
        EXPECT_EQ(ui.drawingFolderList->path(), c.folder);
        EXPECT_EQ(selected(ui.drawingList), c.selected);
        EXPECT_EQ(ui.statusLabel->text(), c.status);
        EXPECT_EQ(fakes.ui.beeps - beeps, c.status.startsWith("There") ? 1 : 0);
        if (c.status.startsWith("There")) {
            EXPECT_EQ(box->currentText(), c.typed) << "kept to be corrected";
        } else {
            EXPECT_EQ(box->currentText(), c.folder) << "the box shows the folder opened";
        }
    }
}

// Completion offers the folders whose names start with what is typed, never files.
TEST_F(FolderChoiceTest, CompletionOffersFolders) {
    makeFolder("dwg/archive");
    load();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    FolderPathBox* box = pathBox("drawingPathBox");
    QCompleter* completer = box->completer();
    ASSERT_TRUE(completer);
    const auto completions = [&](const QString& typed) {
        box->lineEdit()->clear();
        box->lineEdit()->setFocus();
        QTest::keyClicks(box->lineEdit(), typed);
        // The folders are read in the background.
        for (int wait = 0; wait < 100 && completer->completionCount() == 0; ++wait)
            QTest::qWait(20);
        QStringList found;
        for (int row = 0; completer->setCurrentRow(row); ++row)
            found << completer->currentCompletion();
        return found;
    };
    EXPECT_EQ(completions(drawings + "/a"), QStringList{drawings + "/archive"})
        << "a.dwg is no folder";
    EXPECT_EQ(completions(appDir.path() + "/OT"), QStringList{other}) << "any letter case";
}

// Each choice's "…" button asks the desktop's folder chooser, starting at the folder shown.
TEST_F(FolderChoiceTest, BrowseButtonsOpenTheChosenFolder) {
    struct Case {
        const char* button;
        FolderListBox* MainWindowControls::*list;
        QString caption;
    };
    const Case cases[] = {
        {"drawingBrowseButton", &MainWindowControls::drawingFolderList,
         "Choose the folder of the DWG or DXF drawings"},
        {"templateBrowseButton", &MainWindowControls::templateFolderList,
         "Choose the folder of the template files"},
        {"outputBrowseButton", &MainWindowControls::outputFolderList,
         "Choose the folder the records are sent to"},
    };
    load();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        FolderListBox* list = ui.*c.list;
        const QString before = list->path();
        fakes.dialogs.clearShown();
        fakes.dialogs.answerFolder({});
        control<QToolButton>(c.button)->click();
        EXPECT_EQ(list->path(), before) << "cancelled";
        fakes.dialogs.answerFolder(other);
        control<QToolButton>(c.button)->click();
        EXPECT_EQ(list->path(), other);
        ASSERT_EQ(fakes.dialogs.shown().size(), 2u);
        EXPECT_EQ(fakes.dialogs.shown()[0].folder.caption, c.caption);
        EXPECT_EQ(fakes.dialogs.shown()[0].folder.startFolder, before);
    }
    EXPECT_EQ(items(ui.drawingList), QStringList{"c.dwg"});
    EXPECT_EQ(stateOf(MainWindow::Destination::TextFile).folder, other);
}

TEST_F(FolderChoiceTest, TheFolderListTakesEnterAndTypedNames) {
    for (const char* name : {"dwg/Alpha", "dwg/beta", "dwg/Bravo"}) makeFolder(name);
    setOption("Dir", drawings);
    load();
    FolderListBox* list = ui.drawingFolderList;
    QTest::keyClicks(list, "br");
    ASSERT_TRUE(list->currentItem());
    EXPECT_EQ(list->currentItem()->text().trimmed(), "Bravo") << "indentation is no part of it";
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(list->path(), drawings + "/Bravo");
    EXPECT_EQ(pathBox("drawingPathBox")->currentText(), drawings + "/Bravo");
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClicks(list, "DW");
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(list->path(), drawings) << "up to a parent";
}

// What a user stored stays as stored; a new user starts at home and sees DXF drawings too.
TEST_F(FolderChoiceTest, WhereTheWindowStarts) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, QString>> stored;
        QString folder;
        QStringList drawingsShown;
        QString pattern;
    };
    touch(homeDir.filePath("plan.dxf"));
    touch(homeDir.filePath("site.dwg"));
    touch(homeDir.filePath("read.me"));
    const Case cases[] = {
        {"new user", {}, homeDir.path(), {"plan.dxf", "site.dwg"}, "*.dwg;*.dxf"},
        {"stored folder", {{"Dir", drawings}}, drawings, {"B.DXF", "a.dwg"}, "*.dwg;*.dxf"},
        {"stored pattern", {{"FExt", "*.dwg"}}, homeDir.path(), {"site.dwg"}, "*.dwg"},
        {"stored folder gone",
         {{"Dir", appDir.filePath("gone")}},
         homeDir.path(),
         {"plan.dxf", "site.dwg"},
         "*.dwg;*.dxf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.settings.remove("Options");
        for (const auto& [key, value] : c.stored) setOption(key, value);
        MainWindow& w = load();
        EXPECT_EQ(ui.drawingFolderList->path(), c.folder);
        EXPECT_EQ(items(ui.drawingList), c.drawingsShown);
        EXPECT_EQ(ui.drawingPatternEdit->text(), c.pattern);
        if (c.stored.empty()) {
            EXPECT_EQ(ui.templateFolderList->path(), homeDir.path());
            EXPECT_EQ(stateOf(MainWindow::Destination::TextFile).folder, homeDir.path());
            EXPECT_EQ(w.sharedDrawingFolder(), homeDir.path());
        }
        w.close();
        EXPECT_EQ(fakes.settings.get("Options", "FExt"), c.pattern) << "stored as shown";
    }
}

TEST_F(FolderChoiceTest, DrawingsAndFoldersDroppedOnTheDrawingList) {
    const QString other2 = makeFolder("more");
    touch(other2 + "/d.dwg");
    struct Case {
        const char* name;
        QStringList dropped;  // paths
        bool taken;
        QString folder;
        QStringList selected;
        QString status;
        QString pattern = "*.dwg;*.dxf";
    };
    const Case cases[] = {
        {"a folder", {other}, true, other, {}, ""},
        {"drawings of one folder, any letter case",
         {drawings + "/B.DXF", drawings + "/a.dwg"},
         true,
         drawings,
         {"B.DXF", "a.dwg"},
         "2 drawing(s) selected."},
        {"drawings of several folders and a text file",
         {other + "/c.dwg", drawings + "/notes.txt", drawings + "/a.dwg"},
         true,
         other,
         {"c.dwg"},
         "1 drawing(s) selected. Ignored (no DWG or DXF drawing, or in another folder): "
         "notes.txt, a.dwg."},
        {"no drawing at all", {drawings + "/notes.txt"}, false, other2, {}, ""},
        {"a drawing the pattern hides",
         {drawings + "/a.dwg", drawings + "/B.DXF"},
         true,
         drawings,
         {"a.dwg"},
         "1 drawing(s) selected. Not shown by the pattern *.dwg: B.DXF.",
         "*.dwg"},
    };
    setOption("Dir", other2);
    load();
    window->show();
    QWidget* target = ui.drawingList->viewport();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.drawingFolderList->setPath(other2);
        ui.drawingPatternEdit->setText(c.pattern);
        ui.statusLabel->clear();
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& path : c.dropped) urls << QUrl::fromLocalFile(path);
        mime.setUrls(urls);
        const Qt::DropActions offered = Qt::MoveAction | Qt::CopyAction;
        QDragEnterEvent enter(QPoint(5, 5), offered, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_EQ(enter.isAccepted(), c.taken);
        if (c.taken) {
            EXPECT_EQ(enter.dropAction(), Qt::CopyAction) << "never moved away";
        }
        QDropEvent drop(QPointF(5, 5), offered, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        if (c.taken) {
            EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
        }
        EXPECT_EQ(ui.drawingFolderList->path(), c.folder);
        EXPECT_EQ(selected(ui.drawingList), c.selected);
        EXPECT_EQ(ui.statusLabel->text(), c.status);
        EXPECT_EQ(ui.drawingSelectionLabel->text(),
                  c.selected.isEmpty() ? QString() : QString::number(c.selected.size()) + " sel");
    }
    EXPECT_TRUE(QFile::exists(other + "/c.dwg")) << "dropped files stay where they were";
}

TEST_F(FolderChoiceTest, RecentFoldersAndTemplatesAreRememberedAcrossStarts) {
    const QString templates = makeFolder("tpl");
    addTitleDrawing(other + "/c.dwg");
    QFile::rename(appDir.filePath("title.txt"), templates + "/title.txt");
    setOption("Dir", drawings);
    setOption("Dir3", templates);
    setOption("RecentDir1", appDir.filePath("gone"));  // removed since: no longer offered
    MainWindow& first = load();
    FolderPathBox* folders = pathBox("drawingPathBox");
    for (int i = 0; i < 11; ++i) {
        enter(folders, makeFolder("f" + QString::number(i)));
    }
    EXPECT_EQ(folders->recent().size(), 10);
    EXPECT_EQ(folders->recent().front(), appDir.filePath("f10")) << "latest first";
    enter(folders, other);
    window->selectAllDrawings();
    ui.templateList->item(0)->setSelected(true);
    window->templateClicked();
    ui.extractButton->click();
    first.close();
    EXPECT_EQ(fakes.settings.get("Options", "RecentDir1"), other);
    EXPECT_EQ(fakes.settings.get("Options", "RecentDir2"), appDir.filePath("f10"));
    EXPECT_EQ(fakes.settings.get("Options", "RecentDir10"), appDir.filePath("f2"));
    EXPECT_EQ(fakes.settings.get("Options", "RecentTemplate1"), templates + "/title.txt");
    EXPECT_TRUE(fakes.settings.get("Options", "RecentTemplate2").isEmpty());

    setOption("Dir3", homeDir.path());
    load();
    EXPECT_EQ(pathBox("drawingPathBox")->recent().size(), 10);
    FolderPathBox* recentTemplates = pathBox("templatePathBox");
    ASSERT_EQ(recentTemplates->recent(), QStringList{templates + "/title.txt"});
    // Picking the template from the drop-down opens its folder and selects it.
    QSignalSpy asked(recentTemplates, &FolderPathBox::pathEntered);
    emit recentTemplates->activated(0);
    EXPECT_EQ(asked.count(), 1);
    EXPECT_EQ(ui.templateFolderList->path(), templates);
    EXPECT_EQ(selected(ui.templateList), QStringList{"title.txt"});
    EXPECT_EQ(recentTemplates->currentText(), templates);
    // Enter on a text that equals an entry asks once, not once more for the entry.
    enter(recentTemplates, templates + "/title.txt");
    EXPECT_EQ(asked.count(), 2);
}

}  // namespace
