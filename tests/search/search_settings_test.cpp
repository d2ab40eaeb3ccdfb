// SPDX-License-Identifier: GPL-3.0-or-later
// The search window's settings: defaults, stored values, the order they are read and written
// in, and the boxes that put a value back when they are left empty.

#include <QFocusEvent>
#include <QTest>

#include "search_window_fixture.h"

namespace {

// Settings that remember the order of every read and write.
class RecordingSettings : public fake::MemorySettings {
public:
    QString get(const QString& section, const QString& key,
                const QString& defaultValue = {}) const override {
        reads << section + "/" + key;
        return MemorySettings::get(section, key, defaultValue);
    }
    void set(const QString& section, const QString& key, const QString& value) override {
        written << section + "/" + key;
        MemorySettings::set(section, key, value);
    }
    mutable QStringList reads;
    QStringList written;
};

const QStringList kOrder = {"Options/Space",    "Options/Case",          "Options/Whole",
                            "Options/Tag",      "Options/Path",          "Options/FieldDelimiter",
                            "Options/Blocks",   "Options/Layers",        "Options/Search",
                            "Options/Folder",   "Options/Include",       "Options/CSV",
                            "Options/TextFile", "Options/SearchRegister"};

using SearchSettingsTest = SearchWindowTest;

TEST_F(SearchSettingsTest, AbsentKeysGiveTheDefaults) {
    open();
    EXPECT_EQ(window->windowTitle(), "Quillon - Find Block Attribute Tag Name and Values");
    QStringList spaces;
    for (int i = 0; i < window->spaceCombo->count(); ++i) spaces << window->spaceCombo->itemText(i);
    EXPECT_EQ(spaces, QStringList({"Both", "Model", "Paper"}));
    EXPECT_EQ(window->spaceCombo->currentText(), "Both");
    for (QCheckBox* box : window->findChildren<QCheckBox*>()) {
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    }
    EXPECT_EQ(window->delimiterEdit->text(), ",");
    EXPECT_EQ(window->blocksEdit->text(), "*");
    EXPECT_EQ(window->layersEdit->text(), "*");
    EXPECT_EQ(window->searchTextEdit->text(), "");
    EXPECT_EQ(window->searchTextEdit->placeholderText(), "Enter text phrase here");
    EXPECT_EQ(window->folderEdit->text(), "");
    EXPECT_EQ(window->saveFolder(), programFolder()) << "the shared drawing folder's default";
    EXPECT_FALSE(window->abortButton->isEnabled());
    EXPECT_TRUE(window->searchButton->isEnabled());

    open({}, "/drawings/shared");
    EXPECT_EQ(window->saveFolder(), "/drawings/shared");
}

TEST_F(SearchSettingsTest, StoredValuesComeBackAndAreStoredInOrderOnClosing) {
    RecordingSettings settings;
    const QStringList stored = {"Paper", "1",       "1",          "1", "1", ";",     "PUMP,VALVE",
                                "EQUIP", "  pump ", "/dwg/*.dxf", "1", "1", "/out/", "1"};
    for (qsizetype i = 0; i < kOrder.size(); ++i) {
        settings.MemorySettings::set("Options", kOrder[i].section('/', 1), stored[i]);
    }
    platform::Platform services{fakes.dialogs, fakes.shell, fakes.clipboard,
                                settings,      fakes.ui,    fakes.clock};
    SearchWindow w(services, model->factory(), programFolder());
    QStringList optionsRead = settings.reads;
    optionsRead.removeAll("Options/DWGFolder");
    EXPECT_EQ(optionsRead, kOrder);
    EXPECT_EQ(w.spaceCombo->currentText(), "Paper");
    const QList<QCheckBox*> boxes = w.findChildren<QCheckBox*>();
    EXPECT_EQ(boxes.size(), 7);
    for (QCheckBox* box : boxes) EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_EQ(w.delimiterEdit->text(), ";");
    EXPECT_EQ(w.blocksEdit->text(), "PUMP,VALVE");
    EXPECT_EQ(w.layersEdit->text(), "EQUIP");
    EXPECT_EQ(w.searchTextEdit->text(), "  pump ");
    EXPECT_EQ(w.folderEdit->text(), "/dwg/*.dxf");
    EXPECT_EQ(w.saveFolder(), "/out/");
    EXPECT_TRUE(settings.written.isEmpty()) << "nothing stored while open";

    w.matchCaseCheck->setChecked(false);
    w.spaceCombo->setCurrentText("Model");
    w.close();
    EXPECT_EQ(settings.written, kOrder);
    EXPECT_EQ(settings.MemorySettings::get("Options", "Case"), "0");
    EXPECT_EQ(settings.MemorySettings::get("Options", "Whole"), "1");
    EXPECT_EQ(settings.MemorySettings::get("Options", "Space"), "Model");
    EXPECT_EQ(settings.MemorySettings::get("Options", "Search"), "  pump ");
}

// An earlier version kept its prompt as the search text and stored it on closing: it shows as
// the prompt, not as text to delete.
TEST_F(SearchSettingsTest, TheOldStoredPromptIsNoSearchText) {
    for (const auto& [stored, shown] :
         {std::pair{"Enter text phrase here", ""},
          {"pump", "pump"},
          {"Enter text phrase here too", "Enter text phrase here too"}}) {
        setOption("Search", stored);
        open();
        EXPECT_EQ(window->searchTextEdit->text(), shown);
    }
}

TEST_F(SearchSettingsTest, UnusableStoredValuesLeaveTheControlsAsDesigned) {
    setOption("Space", "model");
    setOption("Case", "yes");
    setOption("Whole", "7");
    setOption("Tag", "");
    setOption("Path", " 1 ");
    open();
    EXPECT_EQ(window->spaceCombo->currentIndex(), -1) << "a value the list does not hold";
    EXPECT_EQ(window->spaceCombo->currentText(), "");
    EXPECT_FALSE(window->matchCaseCheck->isChecked());
    EXPECT_FALSE(window->exactPhraseCheck->isChecked());
    EXPECT_FALSE(window->findTagCheck->isChecked());
    EXPECT_TRUE(window->fullPathCheck->isChecked());
}

TEST_F(SearchSettingsTest, EmptiedBoxesGetTheirValueBackWhenLeft) {
    struct Case {
        const char* box;
        QString typed, left;
    };
    const std::vector<Case> cases = {
        {"blocksEdit", "", "*"},    {"blocksEdit", "   ", "*"},  {"blocksEdit", " PUMP ", " PUMP "},
        {"layersEdit", "", "*"},    {"layersEdit", "  ", "*"},   {"layersEdit", "0", "0"},
        {"delimiterEdit", "", ","}, {"delimiterEdit", ";", ";"}, {"searchTextEdit", "", ""},
        {"folderEdit", "", ""},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " '" + c.typed.toStdString() + "'");
        auto* box = window->findChild<QLineEdit*>(c.box);
        box->setText(c.typed);
        QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(box, &focusOut);
        EXPECT_EQ(box->text(), c.left);
    }
}

TEST_F(SearchSettingsTest, TheDelimiterIsOneCharacterAndNeverABlank) {
    open();
    window->show();
    window->delimiterEdit->clear();
    QTest::keyClicks(window->delimiterEdit, " ");
    EXPECT_EQ(window->delimiterEdit->text(), "");
    QTest::keyClicks(window->delimiterEdit, "; |");
    EXPECT_EQ(window->delimiterEdit->text(), ";");
    setOption("FieldDelimiter", "");
    open();
    window->searchTextEdit->setText("x");
    window->folderEdit->setText(allDrawings());
    window->searchButton->click();
    EXPECT_EQ(window->delimiterEdit->text(), ",") << "a run never joins fields without one";
}

TEST_F(SearchSettingsTest, BrowsingChoosesAFolderThenAPattern) {
    open({}, "/shared/dwg");
    QStringList shared;  // the shared drawing folder, as the main window is told of it
    QObject::connect(window.get(), &SearchWindow::drawingFolderChosen,
                     [&](const QString& folder) { shared << folder; });
    // No pattern yet: the picker starts in the shared folder.
    fakes.dialogs.answerFolder("/work/plant");
    fakes.dialogs.answerInput("  /work/plant/P*.dwg  ");
    window->browseButton->click();
    ASSERT_EQ(fakes.dialogs.shown().size(), 2u);
    const fake::ShownBox picker = fakes.dialogs.shown()[0];
    EXPECT_EQ(picker.kind, fake::ShownBox::Kind::Folder);
    EXPECT_EQ(picker.folder.caption, "Choose the folder of the DWG or DXF drawings");
    EXPECT_EQ(picker.folder.startFolder, "/shared/dwg");
    const fake::ShownBox input = fakes.dialogs.shown()[1];
    EXPECT_EQ(input.kind, fake::ShownBox::Kind::Input);
    EXPECT_TRUE(input.input.prompt.startsWith("File Specification\r\n\r\nExamples: "));
    EXPECT_EQ(input.input.caption, "Add File Specification");
    EXPECT_EQ(input.input.defaultText, "/work/plant/*.dwg");
    EXPECT_EQ(window->folderEdit->text(), "/work/plant/P*.dwg");
    EXPECT_EQ(shared, QStringList{"/work/plant"}) << "the chosen folder, as returned";

    // With a pattern the picker starts in its folder; a cancelled picker keeps it.
    fakes.dialogs.clearShown();
    fakes.dialogs.answerFolder("");
    window->browseButton->click();
    EXPECT_EQ(fakes.dialogs.shown()[0].folder.startFolder, "/work/plant/");
    EXPECT_EQ(window->folderEdit->text(), "/work/plant/P*.dwg");
    EXPECT_EQ(shared, QStringList{"/work/plant"});

    // A folder ending in a separator gets no second one; a cancelled input box empties the
    // pattern.
    fakes.dialogs.clearShown();
    fakes.dialogs.answerFolder("/");
    fakes.dialogs.cancelInput();
    window->browseButton->click();
    EXPECT_EQ(fakes.dialogs.shown()[1].input.defaultText, "/*.dwg");
    EXPECT_EQ(window->folderEdit->text(), "");
    EXPECT_EQ(shared, (QStringList{"/work/plant", "/"}));
    EXPECT_EQ(option("DWGFolder"), "<absent>") << "kept in memory: the pattern list stores it";
}

}  // namespace
