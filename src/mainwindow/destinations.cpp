// SPDX-License-Identifier: GPL-3.0-or-later
// Frames "3) Select Output Format" and "7) Send Selected Attributes To": the record format, the
// destination with its options, the output folder and file, and the sheet or table.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/folder_path_box.h"
#include "mainwindow/main_window.h"
#include "mainwindow/record_table_view.h"
#include "output/send_services.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"

namespace {

const QString kTitle = QStringLiteral("Quillon");

QStringList patternsOf(MainWindow::Destination destination) {
    switch (destination) {
        case MainWindow::Destination::TextFile:
            return {"*.csv", "*.txt"};
        case MainWindow::Destination::Spreadsheet:
            return {"*.xlsx"};
        case MainWindow::Destination::Database:
            return {"*.db", "*.sqlite"};
        case MainWindow::Destination::Document:
            return {"*.docx"};
        case MainWindow::Destination::Clipboard:
            break;
    }
    return {"*"};
}

void fillOutputFileList(QListWidget* list, const QString& folder,
                        MainWindow::Destination destination) {
    for (const QString& pattern : patternsOf(destination)) {
        list->addItems(platform::listFolder(folder, pattern, platform::ListOptions{}));
    }
    if (list->count() > 0) MainWindow::setListScrollWidth(list);
    list->setToolTip(list->count() > 0 ? QStringLiteral(" Double-click on file to open ")
                                       : QString());
}

}  // namespace

MainWindow::Destination MainWindow::destination() const {
    const int checked = destinationGroup->checkedId();
    return checked < 0 ? Destination::TextFile : static_cast<Destination>(checked);
}

bool MainWindow::anyRecordSelected() const {
    return recordList->selectionModel()->hasSelection();
}

void MainWindow::cdfChosen() {
    statusLabel->clear();
    fieldSpacesEdit->hide();
    fieldSpacesLabel->hide();
}

void MainWindow::sdfChosen() {
    setStatus(
        QStringLiteral("To send data to a spreadsheet, database or document, use the CDF format."));
    fieldSpacesEdit->show();
    fieldSpacesLabel->show();
}

void MainWindow::chooseDestination(Destination chosen) {
    if (chosen != Destination::Clipboard) {
        chooseFileDestination(chosen);
        return;
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             outputDriveList, outputPathBox, outputBrowseButton, outputFolderList, outputFileList,
             newFileEdit, rowEdit, columnEdit, newFileLabel, rowLabel, columnLabel, textAppendCheck,
             transposeCheck, databaseAppendCheck, documentAppendCheck, createTableCheck,
             fitColumnsCheck, sheetOrTableCombo}) {
        w->hide();
    }
    includeTagsCheck->show();
    if (anyRecordSelected()) sendButton->setEnabled(true);
}

void MainWindow::chooseFileDestination(Destination chosen) {
    const bool text = chosen == Destination::TextFile;
    const bool excel = chosen == Destination::Spreadsheet;
    const bool access = chosen == Destination::Database;
    const bool word = chosen == Destination::Document;
    for (QWidget* w : std::initializer_list<QWidget*>{
             outputDriveList, outputPathBox, outputBrowseButton, outputFolderList, outputFileList})
        w->show();
    newFileEdit->setVisible(text);
    newFileLabel->setVisible(text);
    for (QWidget* w : std::initializer_list<QWidget*>{rowEdit, rowLabel, columnEdit, columnLabel,
                                                      transposeCheck, fitColumnsCheck}) {
        w->setVisible(excel);
    }
    textAppendCheck->setVisible(text);
    databaseAppendCheck->setVisible(access);
    documentAppendCheck->setVisible(word);
    createTableCheck->setVisible(word);
    includeTagsCheck->setVisible(!access);
    sheetOrTableCombo->setVisible(excel || access);

    // The list shows this destination's files of the folder shown now; that folder belongs to
    // the destination chosen before, so it is no folder of this one's to remember.
    listOutputFiles();
    DestinationState& chosenState = state(chosen);
    // Showing the folder changes the targets; the remembered file and sheet or table are read
    // first.
    const DestinationState remembered = chosenState;
    if (outputDriveList->setDrive(remembered.folder)) outputFolderList->setPath(remembered.folder);

    if (remembered.savedFile.isEmpty()) {
        if (excel || access) sheetOrTableCombo->clear();
    } else {
        if (!text) chosenState.target = platform::joinPath(remembered.folder, remembered.savedFile);
        const QList<QListWidgetItem*> found = outputFileList->findItems(
            remembered.savedFile, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (found.isEmpty()) {
            // The remembered file is gone: forget it, quietly.
            chosenState.savedFile.clear();
            chosenState.savedItem.clear();
            chosenState.target.clear();
            chosenState.targetItem.clear();
        } else {
            {
                // Selected from here, the click handling runs once, below.
                const QSignalBlocker block(outputFileList);
                outputFileList->setCurrentItem(found.first());
                found.first()->setSelected(true);
            }
            outputFileClicked();
            if ((excel || access) && !remembered.savedItem.isEmpty()) {
                const int index = sheetOrTableCombo->findText(
                    remembered.savedItem, Qt::MatchExactly | Qt::MatchCaseSensitive);
                if (index >= 0) {
                    chosenState.savedItem = chosenState.targetItem = remembered.savedItem;
                    sheetOrTableCombo->setCurrentIndex(index);
                } else {
                    chosenState.savedItem.clear();
                    chosenState.targetItem.clear();
                }
            }
        }
    }
    outputFileList->setToolTip(
        outputFileList->count() > 0 ? QStringLiteral(" Double-click on file to open ") : QString());
}

void MainWindow::outputDriveChanged() {
    changeDrive(outputDriveList, outputFolderList);
}

void MainWindow::listOutputFiles() {
    {
        const QSignalBlocker block(outputFileList);
        outputFileList->clear();
    }
    fillOutputFileList(outputFileList, outputFolderList->path(), destination());
    sheetOrTableCombo->clear();
}

void MainWindow::relistOutputFiles() {
    const QListWidgetItem* current = outputFileList->currentItem();
    const QString chosen = current && current->isSelected() ? current->text() : QString();
    const QSignalBlocker block(outputFileList);
    outputFileList->clear();
    fillOutputFileList(outputFileList, outputFolderList->path(), destination());
    const QList<QListWidgetItem*> found =
        outputFileList->findItems(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (chosen.isEmpty() || found.isEmpty()) return;
    outputFileList->setCurrentItem(found.first());
    found.first()->setSelected(true);
}

void MainWindow::outputFolderChanged() {
    listOutputFiles();
    const Destination shown = destination();
    if (shown == Destination::Clipboard) return;
    DestinationState& shownState = state(shown);
    if (shown == Destination::TextFile && !m_loading) shownState.folder = outputFolderList->path();
    if (shown == Destination::Database) sendButton->setEnabled(false);
    shownState.target.clear();
    shownState.targetItem.clear();
}

void MainWindow::outputFileClicked() {
    QListWidgetItem* item = outputFileList->currentItem();
    const Destination shown = destination();
    if (outputFileList->count() == 0 || !item || shown == Destination::Clipboard) return;
    platform::Hourglass hourglass(m_platform.ui);
    sheetOrTableCombo->clear();
    const QString path = platform::joinPath(outputFolderList->path(), item->text());
    DestinationState& shownState = state(shown);
    shownState.folder = outputFolderList->path();
    shownState.savedFile = item->text();
    shownState.target = path;
    shownState.targetItem.clear();
    switch (shown) {
        case Destination::TextFile:
            sendButton->setEnabled(item->isSelected() && anyRecordSelected());
            break;
        case Destination::Spreadsheet:
            listSheetsOf(path);
            break;
        case Destination::Database:
            sendButton->setEnabled(false);
            listTablesOf(path);
            break;
        case Destination::Document:
        case Destination::Clipboard:
            break;
    }
}

void MainWindow::listSheetsOf(const QString& path) {
    auto application = m_office.runningSpreadsheet();
    if (!application) application = m_office.startSpreadsheet(outputFolderList->path());
    if (!application || !application.value()) {
        m_platform.ui.beep();
        const office::Error error = application ? office::Error{} : application.error();
        output::showErrorBox(m_platform.dialogs, error);
        m_platform.dialogs.messageBox(
            kTitle, QStringLiteral("Error! Can't create link to the spreadsheet."),
            platform::MessageIcon::Exclamation);
        return;
    }
    const auto workbook = application.value()->OpenWorkbook(path);
    sheetOrTableCombo->addItem(QString());
    if (!workbook) return;
    sheetOrTableCombo->addItems(workbook.value()->SheetNames().valueOr({}));
    // Filling a drop-down shows its first entry; no sheet is chosen until the user chooses one.
    sheetOrTableCombo->setCurrentIndex(-1);
    workbook.value()->Close();
}

void MainWindow::listTablesOf(const QString& path) {
    // A database that cannot be opened leaves the table list empty, without a message.
    const auto database = m_office.openDatabase(path, true);
    if (!database || !database.value()) return;
    sheetOrTableCombo->addItems(database.value()->TableNames().valueOr({}));
    // No table is chosen until the user chooses one: the first table shown would enable a send
    // that was never asked for.
    sheetOrTableCombo->setCurrentIndex(-1);
    database.value()->Close();
}

void MainWindow::openOutputFile() {
    const QListWidgetItem* item = outputFileList->currentItem();
    if (!item) return;
    if (!m_platform.shell.openDocument(
            platform::joinPath(outputFolderList->path(), item->text()))) {
        m_platform.dialogs.messageBox(kTitle, QStringLiteral("Couldn't open file."),
                                      platform::MessageIcon::Exclamation);
    }
}

void MainWindow::sheetOrTableChosen() {
    const Destination shown = destination();
    if (shown == Destination::Spreadsheet || shown == Destination::Database) {
        DestinationState& shownState = state(shown);
        shownState.targetItem = shownState.savedItem = sheetOrTableCombo->currentText();
    }
    sendButton->setEnabled(anyRecordSelected());
}

void MainWindow::newFileNameChanged() {
    if (newFileEdit->text().trimmed().isEmpty()) {
        const QSignalBlocker block(newFileEdit);
        newFileEdit->setText(QStringLiteral("file.txt"));
    }
    if (outputFileList->selectedItems().isEmpty()) state(Destination::TextFile).target.clear();
}

void MainWindow::rowChanged() {
    if (rowEdit->text().toLongLong() > 65536) rowEdit->setText(QStringLiteral("65536"));
}

void MainWindow::rowEditFinished() {
    if (rowEdit->text().toLongLong() == 0) rowEdit->setText(QStringLiteral("1"));
}

void MainWindow::columnChanged() {
    if (columnEdit->text().toLongLong() > 255) columnEdit->setText(QStringLiteral("255"));
}

void MainWindow::columnEditFinished() {
    if (columnEdit->text().toLongLong() == 0) columnEdit->setText(QStringLiteral("1"));
}
