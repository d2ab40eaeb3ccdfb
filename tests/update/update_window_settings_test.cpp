// SPDX-License-Identifier: GPL-3.0-or-later
// The update window's settings (section "Update"), where Browse starts for each kind of source,
// and a database table as the source.

#include <sqlite3.h>

#include "update_window_fixture.h"
#include "writeback/edit_source.h"

namespace {

TEST_F(UpdateWindowTest, SettingsComeBackAndAreStoredOnClosing) {
    const struct {
        const char* key;
        const char* stored;
    } keys[] = {{"Kind", "Excel"},       {"Source", "/jobs/book.xlsx"}, {"Item", "Parts"},
                {"Folder", "/jobs/dwg"}, {"Blocks", "TITLE*"},          {"Backup", "0"}};
    for (const auto& k : keys) fakes.settings.set("Update", k.key, k.stored);
    open();
    EXPECT_EQ(control<QComboBox>("kindCombo")->currentText(), "Spreadsheet (.xlsx)");
    EXPECT_EQ(control<QLineEdit>("sourceEdit")->text(), "/jobs/book.xlsx");
    EXPECT_EQ(control<QComboBox>("sheetCombo")->currentText(), "Parts");
    EXPECT_EQ(control<QLabel>("sheetLabel")->text(), "Sheet");
    EXPECT_EQ(control<QLineEdit>("folderEdit")->text(), "/jobs/dwg");
    EXPECT_EQ(control<QLineEdit>("blocksEdit")->text(), "TITLE*");
    EXPECT_FALSE(control<QCheckBox>("backupCheck")->isChecked());

    control<QComboBox>("kindCombo")->setCurrentIndex(static_cast<int>(SourceKind::Database));
    EXPECT_EQ(control<QLabel>("sheetLabel")->text(), "Table");
    control<QComboBox>("sheetCombo")->setEditText("Titles");
    control<QCheckBox>("backupCheck")->setChecked(true);
    window->close();
    for (const auto& [key, value] :
         {std::pair{"Kind", "Access"}, {"Item", "Titles"}, {"Backup", "1"}, {"Blocks", "TITLE*"}}) {
        EXPECT_EQ(fakes.settings.get("Update", key), value) << key;
    }

    // Without settings: a text file, every block, a backup kept.
    fakes.settings.remove("Update");
    open();
    EXPECT_EQ(control<QComboBox>("kindCombo")->currentText(), "Text file");
    EXPECT_FALSE(control<QComboBox>("sheetCombo")->isEnabled());
    EXPECT_EQ(control<QLineEdit>("blocksEdit")->text(), "*");
    EXPECT_TRUE(control<QCheckBox>("backupCheck")->isChecked());
}

// Browse starts in the folder the main window last showed for the kind's destination, or in
// the folder of the source already named.
TEST_F(UpdateWindowTest, BrowseStartsInTheDestinationFolderOfTheKind) {
    open({"/out/text", "/out/books", "/out/data"});
    const struct {
        SourceKind kind;
        const char* folder;
        const char* pattern;
    } kinds[] = {{SourceKind::TextFile, "/out/text", "*.csv"},
                 {SourceKind::Workbook, "/out/books", "*.xlsx"},
                 {SourceKind::Database, "/out/data", "*.db"}};
    for (const auto& k : kinds) {
        control<QComboBox>("kindCombo")->setCurrentIndex(static_cast<int>(k.kind));
        fakes.dialogs.answerOpenFile({});
        control<QPushButton>("browseSourceButton")->click();
        EXPECT_EQ(fakes.dialogs.shown().back().file.folder, k.folder);
        EXPECT_TRUE(fakes.dialogs.shown().back().file.filter.contains(k.pattern));
    }
    EXPECT_TRUE(control<QLineEdit>("sourceEdit")->text().isEmpty()) << "cancelled";
    control<QLineEdit>("sourceEdit")->setText(dir.filePath("edits.csv"));
    fakes.dialogs.answerOpenFile({});
    control<QPushButton>("browseSourceButton")->click();
    EXPECT_EQ(fakes.dialogs.shown().back().file.folder, dir.path());
}

// A database chosen with Browse lists its tables; its only table is chosen, and planned. Its
// rows are numbered by their place in the table.
TEST_F(UpdateWindowTest, ADatabaseTableIsASource) {
    const QString database = dir.filePath("edits.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE Titles (DRAWING_NAME TEXT, BLOCK_HANDLE TEXT, TITLE TEXT);"
                           "INSERT INTO Titles VALUES ('tank-farm.dxf', '59', 'x');"
                           "INSERT INTO Titles VALUES ('cooling-water.dxf', '63', 'From the "
                           "database');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    open();
    control<QComboBox>("kindCombo")->setCurrentIndex(static_cast<int>(SourceKind::Database));
    fakes.dialogs.answerOpenFile(database);
    control<QPushButton>("browseSourceButton")->click();
    auto* tables = control<QComboBox>("sheetCombo");
    ASSERT_EQ(tables->count(), 1);
    EXPECT_EQ(tables->currentText(), "Titles");
    control<QPushButton>("planButton")->click();
    EXPECT_EQ(shownPlan(),
              (QStringList{"tank-farm.dxf|1||||||Problem: drawing not found",
                           "cooling-water.dxf|2|TITLE|63|TITLE|Cooling water circuit|From the "
                           "database|Change"}));
    EXPECT_TRUE(status().startsWith("Planned from edits.db")) << status().toStdString();

    // Applied, its undo is a table of that name in a database beside it.
    fakes.dialogs.answerButton(platform::DialogButton::Yes);
    control<QPushButton>("applyButton")->click();
    EXPECT_EQ(valuesOf(cooling, "63").at(1), "TITLE=From the database");
    const QString undo = dir.filePath("edits-undo-20240305-140709.db");
    EXPECT_EQ(status(), "1 drawing(s) written.\nUndo file: " + undo + ", table Titles");
    const auto undone = writeback::readEditSource({SourceKind::Database, undo, "Titles"});
    ASSERT_TRUE(undone) << undone.error().description.toStdString();
    EXPECT_EQ(undone.value().rows,
              (std::vector<QStringList>{{cooling, "63", "Cooling water circuit"}}));
}

}  // namespace
