// The attribute list: selecting, counting and clearing the extracted records.

#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "mainwindow/form1.h"
#include "records/record_list_model.h"

namespace {

const QString kTitle = QStringLiteral("Quillon");

bool confirmed(platform::Platform& platform, const QString& question) {
    platform.ui.beep();
    return platform.dialogs.messageBox(kTitle, question, platform::MessageIcon::Question,
                                       platform::MessageButtons::YesNo,
                                       platform::DialogButton::No) == platform::DialogButton::Yes;
}

}  // namespace

void Form1::recordSelectionChanged() {
    const qint64 selected = selectedRecordCount();
    if (selected == 0) {
        Command1->setEnabled(false);
        Command16->setEnabled(false);
        Label11->clear();
        return;
    }
    Command16->setEnabled(true);
    if (Option6->isChecked()) {
        // A database send needs a table and a database file chosen first.
        if (!Combo1->currentText().isEmpty() && !List4->selectedItems().isEmpty()) {
            Command1->setEnabled(true);
        }
    } else {
        Command1->setEnabled(true);
    }
    Label11->setText(QString::number(selected) + QStringLiteral(" of ") +
                     QString::number(records->count()) + QStringLiteral(" selected"));
}

void Form1::Command6_Click() {
    // One range for the whole list: one selection change, whatever its length.
    if (!records->isEmpty()) {
        recordView->selectionModel()->select(
            QItemSelection(records->index(0), records->index(records->rowCount() - 1)),
            QItemSelectionModel::Select);
    }
    setStatus(QString::number(records->count()) + QStringLiteral(" item(s) selected."));
    Command16->setEnabled(true);
}

void Form1::Command7_Click() {
    if (recordView->selectionModel()->hasSelection()) {
        recordView->selectionModel()->clearSelection();
    }
    setStatus(QString::number(records->count()) + QStringLiteral(" item(s) unselected."));
    Command16->setEnabled(false);
}

void Form1::Command16_Click() {
    if (!confirmed(m_platform,
                   QStringLiteral("Are you sure you want to clear all selected items?"))) {
        return;
    }
    const std::vector<qint64> selected = selectedRecordRows();
    const qint64 removed = static_cast<qint64>(selected.size());
    records->removeRows(selected);
    if (records->isEmpty()) {
        records->setMaxFields(0);
        for (QPushButton* b : {Command1, Command3, Command6, Command7, Command16}) {
            b->setEnabled(false);
        }
        recordView->setToolTip(QString());
        fitRecordScrollWidth();
    }
    Command16->setEnabled(false);
    Command1->setEnabled(false);
    Label11->clear();
    setStatus(QString::number(removed) + QStringLiteral(" item(s) cleared."));
}

void Form1::Command3_Click() {
    if (!confirmed(m_platform, QStringLiteral("Are you sure you want to clear all items?"))) return;
    records->setMaxFields(0);
    for (QPushButton* b : {Command1, Command3, Command6, Command7, Command16}) b->setEnabled(false);
    recordView->setToolTip(QString());
    Label11->clear();
    setStatus(QString::number(records->count()) + QStringLiteral(" item(s) cleared."));
    records->clear();
    fitRecordScrollWidth();
}
