// SPDX-License-Identifier: GPL-3.0-or-later
// The attribute list: selecting, counting and clearing the extracted records.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "mainwindow/main_window.h"
#include "mainwindow/record_table_view.h"
#include "records/record_list_model.h"
#include "records/record_table_model.h"

namespace {

const QString kTitle = QStringLiteral("Quillon");

bool confirmed(platform::Platform& platform, const QString& question) {
    platform.ui.beep();
    return platform.dialogs.messageBox(kTitle, question, platform::MessageIcon::Question,
                                       platform::MessageButtons::YesNo,
                                       platform::DialogButton::No) == platform::DialogButton::Yes;
}

}  // namespace

void MainWindow::recordSelectionChanged() {
    const qint64 selected = selectedRecordCount();
    if (selected == 0) {
        sendButton->setEnabled(false);
        clearRecordSelectionButton->setEnabled(false);
        recordSelectionLabel->clear();
        return;
    }
    clearRecordSelectionButton->setEnabled(true);
    if (databaseOption->isChecked()) {
        // A database send needs a table and a database file chosen first.
        if (!sheetOrTableCombo->currentText().isEmpty() &&
            !outputFileList->selectedItems().isEmpty()) {
            sendButton->setEnabled(true);
        }
    } else {
        sendButton->setEnabled(true);
    }
    recordSelectionLabel->setText(QString::number(selected) + QStringLiteral(" of ") +
                                  QString::number(records->count()) + QStringLiteral(" selected"));
}

void MainWindow::selectAllRecords() {
    // What the table shows is selected: with a filter, the records it hides stay out of the
    // send. One range for the whole table: one selection change, whatever its length.
    const int shown = shownRecords->rowCount();
    if (shown > 0) {
        recordList->selectionModel()->select(
            QItemSelection(
                shownRecords->index(0, 0),
                shownRecords->index(shown - 1, std::max(shownRecords->columnCount() - 1, 0))),
            QItemSelectionModel::Select);
    }
    setStatus(QString::number(shown) + QStringLiteral(" item(s) selected."));
    clearRecordSelectionButton->setEnabled(true);
}

void MainWindow::unselectAllRecords() {
    if (recordList->selectionModel()->hasSelection()) {
        recordList->selectionModel()->clearSelection();
    }
    setStatus(QString::number(records->count()) + QStringLiteral(" item(s) unselected."));
    clearRecordSelectionButton->setEnabled(false);
}

void MainWindow::clearRecordSelection() {
    if (!confirmed(m_platform,
                   QStringLiteral("Are you sure you want to clear all selected items?"))) {
        return;
    }
    const std::vector<qint64> selected = selectedRecordRows();
    const qint64 removed = static_cast<qint64>(selected.size());
    records->removeRecords(selected);
    if (records->isEmpty()) {
        records->setMaxFields(0);
        for (QPushButton* b : {sendButton, clearRecordsButton, selectAllRecordsButton,
                               unselectAllRecordsButton, clearRecordSelectionButton}) {
            b->setEnabled(false);
        }
        recordList->setToolTip(QString());
        fitRecordScrollWidth();
    }
    clearRecordSelectionButton->setEnabled(false);
    sendButton->setEnabled(false);
    recordSelectionLabel->clear();
    setStatus(QString::number(removed) + QStringLiteral(" item(s) cleared."));
}

void MainWindow::clearRecords() {
    if (!confirmed(m_platform, QStringLiteral("Are you sure you want to clear all items?"))) return;
    records->setMaxFields(0);
    for (QPushButton* b : {sendButton, clearRecordsButton, selectAllRecordsButton,
                           unselectAllRecordsButton, clearRecordSelectionButton})
        b->setEnabled(false);
    recordList->setToolTip(QString());
    recordSelectionLabel->clear();
    setStatus(QString::number(records->count()) + QStringLiteral(" item(s) cleared."));
    records->clear();
    fitRecordScrollWidth();
}
