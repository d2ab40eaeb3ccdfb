// SPDX-License-Identifier: GPL-3.0-or-later
// The folder choices of steps 1, 2 and 7 as this desktop offers them: a path to type or paste,
// the standard folder chooser, recent entries, and drawings dropped from the file manager.

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QToolButton>

#include "mainwindow/drawing_drop.h"
#include "mainwindow/drive_list.h"
#include "mainwindow/folder_list.h"
#include "mainwindow/folder_path_box.h"
#include "mainwindow/main_window.h"
#include "platform/paths.h"

namespace {

constexpr int kRecentEntries = 10;
const QString kSection = QStringLiteral("Options");

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The first few names, so a long drop still fits the status line.
QString someNames(const QStringList& names) {
    constexpr int kShown = 3;
    QStringList shown = names.mid(0, kShown);
    if (names.size() > kShown) shown << QStringLiteral("…");
    return shown.join(QStringLiteral(", "));
}

void putFirst(FolderPathBox* box, const QString& entry) {
    if (entry.isEmpty()) return;
    QStringList entries = box->recent();
    entries.removeAll(entry);
    entries.prepend(entry);
    box->setRecent(entries.mid(0, kRecentEntries));
}

// Files and folders a file manager offers to move are copied or linked here: the drop only
// reads where they are, and a move would have the file manager delete them.
bool acceptAsCopy(QDropEvent* event) {
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event->possibleActions() & action) {
            event->setDropAction(action);
            event->accept();
            return true;
        }
    }
    event->ignore();
    return false;
}

}  // namespace

MainWindow::FolderChoice MainWindow::folderChoice(const FolderPathBox* path) const {
    if (path == drawingPathBox)
        return {drawingDriveList, drawingFolderList, drawingPathBox, drawingList};
    if (path == templatePathBox)
        return {templateDriveList, templateFolderList, templatePathBox, templateList};
    return {outputDriveList, outputFolderList, outputPathBox, outputFileList};
}

void MainWindow::connectFolderChoice(const FolderChoice& choice, QToolButton* browse,
                                     const QString& browseCaption) {
    FolderListBox* folder = choice.folder;
    FolderPathBox* path = choice.path;
    connect(folder, &FolderListBox::pathChanged, path,
            [folder, path] { path->showFolder(folder->path()); });
    path->showFolder(folder->path());
    connect(path, &FolderPathBox::pathEntered, this,
            [this, path](const QString& typed) { goToPath(folderChoice(path), typed); });
    connect(browse, &QToolButton::clicked, this,
            [this, path, browseCaption] { browseFolder(folderChoice(path), browseCaption); });
}

bool MainWindow::openFolder(const FolderChoice& choice, const QString& folder) {
    const QString path = platform::resolvePath(folder);
    const QFileInfo info(path);
    QString problem;
    if (!info.exists()) {
        problem = QStringLiteral("There is no folder ") + native(folder) + QLatin1Char('.');
    } else if (!info.isDir()) {
        problem = native(folder) + QStringLiteral(" is not a folder.");
    } else {
        {
            // The folder list is set next: the drive's own root is not to be listed first.
            const QSignalBlocker block(choice.drive);
            choice.drive->setDrive(path);
        }
        const core::Status opened = choice.folder->setPath(path);
        if (opened) return true;
        problem = QStringLiteral("Cannot open ") + native(folder) + QStringLiteral(": ") +
                  opened.error().description + QLatin1Char('.');
    }
    m_platform.ui.beep();
    setStatus(problem);
    return false;
}

void MainWindow::goToPath(const FolderChoice& choice, const QString& typed) {
    if (m_busy) return;
    QString path = typed.trimmed();
    if (path.isEmpty()) {
        choice.path->showFolder(choice.folder->path());
        return;
    }
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/"))) {
        path = m_homeFolder + path.mid(1);
    } else if (QDir::isRelativePath(path)) {
        path = platform::joinPath(choice.folder->path(), path);
    }
    const QFileInfo info(platform::resolvePath(path));
    const bool file = info.isFile();
    if (!openFolder(choice, file ? info.absolutePath() : path)) return;
    choice.path->showFolder(choice.folder->path());
    if (choice.path == drawingPathBox) putFirst(drawingPathBox, drawingFolderList->path());
    if (file && choice.path != outputPathBox) {
        if (!selectFiles(choice, {info.fileName()}).isEmpty()) {
            setStatus(info.fileName() + QStringLiteral(" is not listed here."));
        }
    }
}

void MainWindow::browseFolder(const FolderChoice& choice, const QString& caption) {
    if (m_busy) return;
    const QString chosen = m_platform.dialogs.pickFolder({caption, choice.folder->path()});
    if (chosen.isEmpty()) return;
    if (openFolder(choice, chosen) && choice.path == drawingPathBox)
        putFirst(drawingPathBox, drawingFolderList->path());
}

QStringList MainWindow::selectFiles(const FolderChoice& choice, const QStringList& names) {
    QListWidget* list = choice.files;
    QStringList missing;
    {
        const QSignalBlocker block(list);
        list->clearSelection();
        bool first = true;
        for (const QString& name : names) {
            const QList<QListWidgetItem*> found =
                list->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (found.isEmpty()) {
                missing << name;
                continue;
            }
            found[0]->setSelected(true);
            if (first) {
                list->setCurrentItem(found[0], QItemSelectionModel::NoUpdate);
                list->scrollToItem(found[0]);
                first = false;
            }
        }
    }
    if (list == drawingList) drawingClicked();
    if (list == templateList) templateClicked();
    return missing;
}

void MainWindow::dropOnDrawingList(const QList<QUrl>& urls) {
    const DrawingDrop drop = readDrawingDrop(urls);
    const FolderChoice choice = folderChoice(drawingPathBox);
    if (drop.folder.isEmpty() || !openFolder(choice, drop.folder)) return;
    putFirst(drawingPathBox, drawingFolderList->path());
    QStringList said;
    if (!drop.names.isEmpty()) {
        const QStringList unlisted = selectFiles(choice, drop.names);
        const qsizetype selected = drop.names.size() - unlisted.size();
        said << QString::number(selected) + QStringLiteral(" drawing(s) selected.");
        if (!unlisted.isEmpty()) {
            said << QStringLiteral("Not shown by the pattern ") + drawingPatternEdit->text() +
                        QStringLiteral(": ") + someNames(unlisted) + QLatin1Char('.');
        }
    }
    if (!drop.ignored.isEmpty()) {
        said << QStringLiteral("Ignored (no DWG or DXF drawing, or in another folder): ") +
                    someNames(drop.ignored) + QLatin1Char('.');
    }
    if (!said.isEmpty()) setStatus(said.join(QLatin1Char(' ')));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != drawingList->viewport()) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (!m_busy && acceptsDrawingDrop(drag->mimeData()->urls())) {
                acceptAsCopy(drag);
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!m_busy && acceptAsCopy(drop)) dropOnDrawingList(drop->mimeData()->urls());
            return true;
        }
        default:
            return QWidget::eventFilter(watched, event);
    }
}

void MainWindow::rememberUsedFolders() {
    putFirst(drawingPathBox, drawingFolderList->path());
    if (!templateList->selectedItems().isEmpty()) putFirst(templatePathBox, templatePath());
}

// Each entry under its own numbered key, so a path may hold any character.
void MainWindow::restoreRecent() {
    const std::pair<const char*, FolderPathBox*> lists[] = {{"RecentDir", drawingPathBox},
                                                            {"RecentTemplate", templatePathBox}};
    for (const auto& [key, box] : lists) {
        QStringList entries;
        for (int i = 1; i <= kRecentEntries; ++i) {
            const QString entry =
                m_platform.settings.get(kSection, QLatin1String(key) + QString::number(i));
            // What was removed since is no longer offered.
            if (!entry.isEmpty() && QFileInfo::exists(entry) && !entries.contains(entry))
                entries << entry;
        }
        box->setRecent(entries);
    }
}

void MainWindow::storeRecent() {
    const std::pair<const char*, FolderPathBox*> lists[] = {{"RecentDir", drawingPathBox},
                                                            {"RecentTemplate", templatePathBox}};
    for (const auto& [key, box] : lists) {
        const QStringList entries = box->recent();
        for (int i = 1; i <= kRecentEntries; ++i) {
            const QString name = QLatin1String(key) + QString::number(i);
            if (i <= entries.size()) {
                m_platform.settings.set(kSection, name, entries[i - 1]);
            } else {
                m_platform.settings.remove(kSection, name);
            }
        }
    }
}
