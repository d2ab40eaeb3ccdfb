// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>

#include "mainwindow/main_window_controls.h"
#include "support/files.h"
#include "support/gui/fake_platform.h"
#include "support/memory_drawing_model.h"
#include "support/qt_printers.h"

// The main window over fake platform services, a scratch program folder, a scratch home folder
// and the memory drawing model.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(appDir.isValid());
        ASSERT_TRUE(homeDir.isValid());
    }

    // The window's services: the fakes, the memory drawing model (or `readerFactory` when
    // set) and `office`; the end of the program is recorded in `endedWith`.
    MainWindowServices services() {
        MainWindowServices given{fakes.platform(),
                                 readerFactory ? readerFactory : model->factory()};
        given.office = office;
        given.homeFolder = homeDir.path();
        given.extractionJobs = extractionJobs;
        given.endProgram = [this](int status) { endedWith = status; };
        return given;
    }
    // Creates and loads the window; settings given before are restored.
    MainWindow& load(const QString& commandLine = {}) {
        window = std::make_unique<MainWindow>(services(), appDir.path(), commandLine);
        ui = controlsOf(*window);
        window->load();
        return *window;
    }
    DestinationState stateOf(MainWindow::Destination destination) const {
        return window->destinationState(destination);
    }

    QString makeFolder(const QString& name) {
        QDir(appDir.path()).mkpath(name);
        return appDir.filePath(name);
    }
    void touch(const QString& path, const QByteArray& bytes = {}) {
        ASSERT_TRUE(testfiles::write(path, bytes));
    }
    // A drawing on disk whose content is the memory model's: one TITLE block with DWGNO 100,
    // and a template in the program folder (title.txt) that extracts it.
    void addTitleDrawing(const QString& path) {
        fake::MemDrawing drawing;
        drawing.blocks.push_back({});
        drawing.blocks.back().name = "TITLE";
        drawing.blocks.back().attributes = {{"DWGNO", "100"}};
        model->addDrawing(path, drawing);
        touch(path);
        touch(appDir.filePath("title.txt"),
              "*INPUT\nBLOCK: TITLE\n*OUTPUT\n*ATTRIBUTE_TAGS\nDWGNO\n");
    }
    void setOption(const char* key, const QString& value) {
        fakes.settings.set("Options", key, value);
    }
    // Runs `text` as a drawing list file chosen with the File button.
    void runListFile(const QString& text) {
        const QString path = appDir.filePath("run.dlf");
        touch(path, text.toUtf8());
        fakes.dialogs.answerOpenFile(path);
        ui.drawingListFileButton->click();
    }

    QStringList items(const QListWidget* list) const {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
        return texts;
    }
    QStringList items(const RecordListModel* records) const { return records->texts(); }
    qint64 selectedRecordCount() const {
        qint64 count = 0;
        for (const QItemSelectionRange& range : ui.recordList->selectionModel()->selection())
            count += range.height();
        return count;
    }
    // Selects or unselects one record (by its place in the list) the way a click does: one
    // selection change of its whole row.
    void setRecordSelected(int row, bool selected) {
        ui.recordList->selectionModel()->select(
            ui.shown->index(ui.shown->shownRow(row), 0),
            (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                QItemSelectionModel::Rows);
    }

    QTemporaryDir appDir;
    QTemporaryDir homeDir;  // the user's home folder
    fake::FakePlatform fakes;
    std::shared_ptr<fake::MemoryDrawingModel> model = fake::MemoryDrawingModel::create();
    drawingapi::ReaderFactory readerFactory;  // empty: the memory model
    int extractionJobs = 1;                   // the memory model is for one thread
    office::Office office = office::unavailableOffice();
    std::optional<int> endedWith;
    std::unique_ptr<MainWindow> window;
    MainWindowControls ui;
};
