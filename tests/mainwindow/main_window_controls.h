// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's controls as a test finds them: by object name, as an accessibility tool
// would.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/main_window.h"
#include "records/record_list_model.h"
#include "records/record_table_model.h"

// clang-format off
#define QUILLON_MAIN_WINDOW_CONTROLS(X)                                                           \
    X(QGroupBox, drawingsFrame) X(QGroupBox, formatFrame) X(QGroupBox, destinationFrame)          \
    X(QGroupBox, templatesFrame) X(QGroupBox, messagesFrame) X(DriveListBox, drawingDriveList)    \
    X(DriveListBox, outputDriveList) X(DriveListBox, templateDriveList)                           \
    X(FolderListBox, drawingFolderList) X(FolderListBox, outputFolderList)                        \
    X(FolderListBox, templateFolderList) X(QListWidget, templateList)                             \
    X(QListWidget, drawingList) X(QTableView, recordList) X(QListWidget, outputFileList)           \
    X(QComboBox, sheetOrTableCombo) X(QLabel, recordListLabel) X(QLabel, drawingInfoLabel)        \
    X(QLabel, drawingCountLabel) X(QLabel, statusLabel) X(QLabel, templateCountLabel)             \
    X(QLabel, templateInfoLabel) X(QLabel, newFileLabel) X(QLabel, rowLabel)                      \
    X(QLabel, columnLabel) X(QLabel, fieldSpacesLabel) X(QLabel, recordSelectionLabel)            \
    X(QLabel, drawingSelectionLabel) X(QLineEdit, newFileEdit) X(QLineEdit, rowEdit)              \
    X(QLineEdit, columnEdit) X(QLineEdit, fieldSpacesEdit) X(QLineEdit, drawingPatternEdit)       \
    X(QRadioButton, cdfOption) X(QRadioButton, sdfOption) X(QRadioButton, textFileOption)         \
    X(QRadioButton, clipboardOption) X(QRadioButton, spreadsheetOption)                           \
    X(QRadioButton, databaseOption) X(QRadioButton, documentOption)                               \
    X(QCheckBox, includeDrawingNameCheck) X(QCheckBox, textAppendCheck)                           \
    X(QCheckBox, transposeCheck) X(QCheckBox, databaseAppendCheck) X(QCheckBox, fullPathCheck)    \
    X(QCheckBox, timestampCheck) X(QCheckBox, documentAppendCheck)                                \
    X(QCheckBox, createTableCheck) X(QCheckBox, includeTagsCheck) X(QCheckBox, fitColumnsCheck)   \
    X(QPushButton, sendButton) X(QPushButton, exitButton) X(QPushButton, clearRecordsButton)      \
    X(QPushButton, aboutButton) X(QPushButton, drawingListFileButton)                             \
    X(QPushButton, selectAllRecordsButton) X(QPushButton, unselectAllRecordsButton)               \
    X(QPushButton, fileSpecButton) X(QPushButton, selectAllDrawingsButton)                        \
    X(QPushButton, unselectAllDrawingsButton) X(QPushButton, extractButton)                       \
    X(QPushButton, clearRecordSelectionButton) X(QPushButton, searchButton)                       \
    X(QPushButton, updateButton) X(QPushButton, registerButton) X(QLineEdit, recordFilterEdit)    \
    X(QLabel, recordCountLabel)
// clang-format on

struct MainWindowControls {
#define QUILLON_DECLARE_CONTROL(Type, name) Type* name = nullptr;
    QUILLON_MAIN_WINDOW_CONTROLS(QUILLON_DECLARE_CONTROL)
#undef QUILLON_DECLARE_CONTROL
    RecordListModel* records = nullptr;  // the records in list order
    RecordTableModel* shown = nullptr;   // the rows the record table shows
};

// Finds every control of `window`; a control that is missing fails the test that asked.
inline MainWindowControls controlsOf(const MainWindow& window) {
    MainWindowControls c;
#define QUILLON_FIND_CONTROL(Type, name)                     \
    c.name = window.findChild<Type*>(QStringLiteral(#name)); \
    EXPECT_TRUE(c.name) << "no control named " #name;
    QUILLON_MAIN_WINDOW_CONTROLS(QUILLON_FIND_CONTROL)
#undef QUILLON_FIND_CONTROL
    if (c.recordList) {
        c.shown = qobject_cast<RecordTableModel*>(c.recordList->model());
        if (c.shown) c.records = c.shown->records();
    }
    return c;
}
