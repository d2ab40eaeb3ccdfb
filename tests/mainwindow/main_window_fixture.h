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
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/main_window.h"
#include "records/record_list_model.h"
#include "support/files.h"
#include "support/gui/fake_platform.h"
#include "support/memory_drawing_model.h"
#include "support/qt_printers.h"

// The main window over fake platform services, a scratch program folder and the memory drawing
// model.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(appDir.isValid()); }

    // Creates and loads the window; settings given before are restored.
    MainWindow& load(const QString& commandLine = {}) {
        window = std::make_unique<MainWindow>(fakes.platform(), appDir.path(), commandLine);
        window->readerFactory = model->factory();
        window->load();
        return *window;
    }

    QString makeFolder(const QString& name) {
        QDir(appDir.path()).mkpath(name);
        return appDir.filePath(name);
    }
    void touch(const QString& path, const QByteArray& bytes = {}) {
        ASSERT_TRUE(testfiles::write(path, bytes));
    }
    void setOption(const char* key, const QString& value) {
        fakes.settings.set("Options", key, value);
    }
    // Runs `text` as a drawing list file named on the command line.
    void runListFile(const QString& text) {
        const QString path = appDir.filePath("run.dlf");
        touch(path, text.toUtf8());
        window->m_commandLine = path;
        window->runDrawingListFile();
    }

    QStringList items(const QListWidget* list) const {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
        return texts;
    }
    QStringList items(const RecordListModel* records) const { return records->texts(); }
    // Selects or unselects one record the way a click does: one selection change.
    void setRecordSelected(int row, bool selected) {
        window->recordList->selectionModel()->select(
            window->records->index(row),
            selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    }

    QTemporaryDir appDir;
    fake::FakePlatform fakes;
    std::shared_ptr<fake::MemoryDrawingModel> model = fake::MemoryDrawingModel::create();
    std::unique_ptr<MainWindow> window;
};
