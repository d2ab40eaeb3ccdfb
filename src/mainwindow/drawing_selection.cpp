// SPDX-License-Identifier: GPL-3.0-or-later
// Steps 1 and 2 of the window: drawings from a drive, folder and pattern; one template.

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "engine/text_forms.h"
#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/main_window.h"
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

void MainWindow::drawingDriveChanged() {
    changeDrive(drawingDriveList, drawingFolderList);
}

void MainWindow::templateDriveChanged() {
    changeDrive(templateDriveList, templateFolderList);
}

// Opens the chosen drive's root in its folder list; a root that cannot be read falls back to
// the first drive the system lists.
void MainWindow::changeDrive(DriveListBox* drive, FolderListBox* folder) {
    const QString root = drive->drive();
    const core::Status opened = folder->setPath(root);
    if (opened) return;
    m_platform.ui.beep();
    // A root that is gone was unmounted after the list was filled.
    const QString reason = QFileInfo::exists(root) ? opened.error().description
                                                   : QStringLiteral("it is no longer mounted");
    m_platform.dialogs.messageBox(
        kTitle,
        QStringLiteral("Cannot read ") + root + QStringLiteral(": ") + reason + QLatin1Char('.'),
        platform::MessageIcon::Exclamation);
    const QSignalBlocker block(drive);
    drive->setCurrentIndex(0);
}

void MainWindow::drawingFolderChanged() {
    fill(drawingList, drawingFolderList->path(), {drawingPatternEdit->text()});
    drawingInfoLabel->clear();
    statusLabel->clear();
    drawingSelectionLabel->clear();
    extractButton->setEnabled(false);
    const bool any = drawingList->count() > 0;
    if (any) setListScrollWidth(drawingList);
    drawingCountLabel->setText(
        any ? QString::number(drawingList->count()) + QStringLiteral(" files") : QString());
    selectAllDrawingsButton->setEnabled(any);
    unselectAllDrawingsButton->setEnabled(any);
    drawingList->setToolTip(any ? QStringLiteral(" Double-click on file to view attributes ")
                                : QString());
}

void MainWindow::drawingPatternChanged() {
    drawingFolderChanged();
}

void MainWindow::drawingClicked() {
    const int n = selectedCount(drawingList);
    const int index = drawingList->currentRow();
    const QListWidgetItem* item = drawingList->currentItem();
    if (item && item->isSelected()) {
        showDateAndSize(drawingInfoLabel, drawingPath(item->text()));
    } else {
        drawingInfoLabel->clear();
    }
    if (index != m_lastDrawingRow) statusLabel->clear();
    extractButton->setEnabled(hasSelection(templateList) && n > 0);
    drawingSelectionLabel->setText(n > 0 ? QString::number(n) + QStringLiteral(" sel") : QString());
    m_lastDrawingRow = index;
}

void MainWindow::selectAllDrawings() {
    {
        // One selection change for the whole list, and no click handling per drawing.
        const QSignalBlocker block(drawingList);
        drawingList->selectAll();
    }
    const int count = drawingList->count();
    extractButton->setEnabled(hasSelection(templateList) && hasSelection(drawingList));
    drawingSelectionLabel->setText(QString::number(count) + QStringLiteral(" sel"));
    setStatus(QString::number(count) + QStringLiteral(" drawing(s) selected."));
}

void MainWindow::unselectAllDrawings() {
    {
        const QSignalBlocker block(drawingList);
        drawingList->clearSelection();
    }
    setStatus(QString::number(drawingList->count()) + QStringLiteral(" drawing(s) unselected."));
    drawingSelectionLabel->clear();
    extractButton->setEnabled(false);
}

void MainWindow::templateFolderChanged() {
    fill(templateList, templateFolderList->path(),
         {QStringLiteral("*.csv"), QStringLiteral("*.txt")});
    const bool any = templateList->count() > 0;
    if (any) setListScrollWidth(templateList);
    templateList->setToolTip(any ? QStringLiteral(" Double-click on file to open in text editor ")
                                 : QString());
    templateCountLabel->setText(
        any ? QString::number(templateList->count()) + QStringLiteral(" files") : QString());
    templateInfoLabel->clear();
    extractButton->setEnabled(false);
}

void MainWindow::templateClicked() {
    extractButton->setEnabled(hasSelection(templateList) && hasSelection(drawingList));
    if (hasSelection(templateList)) {
        showDateAndSize(templateInfoLabel, templatePath());
    } else {
        templateInfoLabel->clear();
    }
}

void MainWindow::editTemplate() {
    if (hasSelection(templateList)) m_platform.shell.openInTextEditor(templatePath());
}
