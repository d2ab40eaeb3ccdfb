// Steps 1 and 2 of the window: drawings from a drive, folder and pattern; one template.

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "engine/text_forms.h"
#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/form1.h"
#include "platform/folder_listing.h"
#include "platform/paths.h"

namespace {

const QString kTitle = QStringLiteral("Quillon");

int selectedCount(const QListWidget* list) {
    return static_cast<int>(list->selectedItems().size());
}

bool hasSelection(const QListWidget* list) {
    return !list->selectedItems().isEmpty();
}

// Refilling a list is no click on it: its handler does not run.
void fill(QListWidget* list, const QString& folder, const QStringList& patterns) {
    const QSignalBlocker block(list);
    list->clear();
    for (const QString& pattern : patterns) {
        list->addItems(platform::listFolder(folder, pattern, platform::ListOptions{}));
    }
}

// "date and time, two blanks, size in bytes"; a file gone since listing leaves the label alone.
void showDateAndSize(QLabel* label, const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return;
    label->setText(textforms::generalDateTime(info.lastModified()) + QStringLiteral("  ") +
                   QString::number(info.size()));
}

}  // namespace

void Form1::Drive1_Change() {
    changeDrive(Drive1, Dir1);
}

void Form1::Drive3_Change() {
    changeDrive(Drive3, Dir3);
}

// Opens the chosen drive's root in its folder list; a root that cannot be read falls back to
// the first drive the system lists.
void Form1::changeDrive(DriveListBox* drive, FolderListBox* folder) {
    const QString root = drive->drive();
    if (folder->setPath(root) == 0) return;
    m_platform.ui.beep();
    const QFileInfo info(root);
    const QString reason = !info.exists()  ? QStringLiteral("it is no longer mounted")
                           : !info.isDir() ? QStringLiteral("it is not a folder")
                                           : QStringLiteral("permission denied");
    m_platform.dialogs.messageBox(
        kTitle,
        QStringLiteral("Cannot read ") + root + QStringLiteral(": ") + reason + QLatin1Char('.'),
        platform::MessageIcon::Exclamation);
    const QSignalBlocker block(drive);
    drive->setCurrentIndex(0);
}

void Form1::Dir1_Change() {
    fill(List2, Dir1->path(), {Text5->text()});
    Label2->clear();
    Label4->clear();
    Label12->clear();
    Command15->setEnabled(false);
    const bool any = List2->count() > 0;
    if (any) SetListScrollWidth(List2);
    Label3->setText(any ? QString::number(List2->count()) + QStringLiteral(" files") : QString());
    Command13->setEnabled(any);
    Command14->setEnabled(any);
    List2->setToolTip(any ? QStringLiteral(" Double-click on file to view attributes ")
                          : QString());
}

void Form1::Text5_Change() {
    Dir1_Change();
}

void Form1::List2_Click() {
    const int n = selectedCount(List2);
    const int index = List2->currentRow();
    const QListWidgetItem* item = List2->currentItem();
    if (item && item->isSelected()) {
        showDateAndSize(Label2, drawingPath(item->text()));
    } else {
        Label2->clear();
    }
    if (index != mintLastIndex) Label4->clear();
    Command15->setEnabled(hasSelection(List1) && n > 0);
    Label12->setText(n > 0 ? QString::number(n) + QStringLiteral(" sel") : QString());
    mintLastIndex = static_cast<qint16>(index);
}

void Form1::Command13_Click() {
    {
        // One selection change for the whole list, and no click handling per drawing.
        const QSignalBlocker block(List2);
        List2->selectAll();
    }
    const int count = List2->count();
    Command15->setEnabled(hasSelection(List1) && hasSelection(List2));
    Label12->setText(QString::number(count) + QStringLiteral(" sel"));
    setStatus(QString::number(count) + QStringLiteral(" drawing(s) selected."));
}

void Form1::Command14_Click() {
    {
        const QSignalBlocker block(List2);
        List2->clearSelection();
    }
    setStatus(QString::number(List2->count()) + QStringLiteral(" drawing(s) unselected."));
    Label12->clear();
    Command15->setEnabled(false);
}

void Form1::Dir3_Change() {
    fill(List1, Dir3->path(), {QStringLiteral("*.csv"), QStringLiteral("*.txt")});
    const bool any = List1->count() > 0;
    if (any) SetListScrollWidth(List1);
    List1->setToolTip(any ? QStringLiteral(" Double-click on file to open in text editor ")
                          : QString());
    Label5->setText(any ? QString::number(List1->count()) + QStringLiteral(" files") : QString());
    Label6->clear();
    Command15->setEnabled(false);
}

void Form1::List1_Click() {
    Command15->setEnabled(hasSelection(List1) && hasSelection(List2));
    if (hasSelection(List1)) {
        showDateAndSize(Label6, templatePath());
    } else {
        Label6->clear();
    }
}

void Form1::List1_DblClick() {
    if (hasSelection(List1)) m_platform.shell.openInTextEditor(templatePath());
}
