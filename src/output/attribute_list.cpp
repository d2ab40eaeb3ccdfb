// The attribute list: selecting, counting and clearing the extracted records.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "engine/module1.h"
#include "mainwindow/form1.h"

namespace {

const QString kTitle = QStringLiteral("Quillon");

bool confirmed(platform::Platform& platform, const QString& question) {
    platform.ui.beep();
    return platform.dialogs.messageBox(kTitle, question, platform::MessageIcon::Question,
                                       platform::MessageButtons::YesNo,
                                       platform::DialogButton::No) == platform::DialogButton::Yes;
}

}  // namespace

void Form1::List3_SelectionChange() {
    const int selected = static_cast<int>(List3->selectedItems().size());
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
                     QString::number(List3->count()) + QStringLiteral(" selected"));
}

void Form1::Command6_Click() {
    List3->selectAll();
    setStatus(QString::number(List3->count()) + QStringLiteral(" item(s) selected."));
    Command16->setEnabled(true);
}

void Form1::Command7_Click() {
    List3->clearSelection();
    setStatus(QString::number(List3->count()) + QStringLiteral(" item(s) unselected."));
    Command16->setEnabled(false);
}

void Form1::Command16_Click() {
    if (!confirmed(m_platform,
                   QStringLiteral("Are you sure you want to clear all selected items?"))) {
        return;
    }
    // Rebuilding the list from the items that stay is linear; removing rows one by one from a
    // list of 100,000 records is quadratic.
    QStringList kept;
    kept.reserve(List3->count());
    const std::vector<int> selected = selectedRows(List3);
    const int removed = static_cast<int>(selected.size());
    auto next = selected.begin();
    for (int row = 0; row < List3->count(); ++row) {
        if (next != selected.end() && *next == row) {
            ++next;
        } else {
            kept << List3->item(row)->text();
        }
    }
    {
        const QSignalBlocker block(List3);
        List3->clear();
        List3->addItems(kept);
    }
    if (List3->count() == 0) {
        Module1::intMaxFields = 0;
        for (QPushButton* b : {Command1, Command3, Command6, Command7, Command16}) {
            b->setEnabled(false);
        }
        List3->setToolTip(QString());
    }
    Command16->setEnabled(false);
    Command1->setEnabled(false);
    Label11->clear();
    setStatus(QString::number(removed) + QStringLiteral(" item(s) cleared."));
}

void Form1::Command3_Click() {
    if (!confirmed(m_platform, QStringLiteral("Are you sure you want to clear all items?"))) return;
    Module1::intMaxFields = 0;
    for (QPushButton* b : {Command1, Command3, Command6, Command7, Command16}) b->setEnabled(false);
    List3->setToolTip(QString());
    Label11->clear();
    setStatus(QString::number(List3->count()) + QStringLiteral(" item(s) cleared."));
    QSignalBlocker block(List3);
    List3->clear();
}
