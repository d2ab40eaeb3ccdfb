// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/folder_list.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <algorithm>

#include "platform/folder_listing.h"
#include "platform/paths.h"

FolderListBox::FolderListBox(QWidget* parent) : QListWidget(parent) {
    m_path = QDir::currentPath();
    fill();
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { setPath(item->data(Qt::UserRole).toString()); });
}

core::Status FolderListBox::setPath(const QString& folder) {
    const QString resolved = platform::resolvePath(folder);
    const QFileInfo info(resolved);
    if (folder.isEmpty() || !info.exists())
        return core::Error{0, QStringLiteral("it is no longer there")};
    if (!info.isDir()) return core::Error{0, QStringLiteral("it is not a folder")};
    if (!info.isReadable()) return core::Error{0, QStringLiteral("permission denied")};
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    if (clean == m_path) return core::success();
    m_path = clean;
    fill();
    emit pathChanged();
    return core::success();
}

void FolderListBox::fill() {
    clear();
    QStringList chain;
    for (QDir dir(m_path);;) {
        chain.prepend(dir.absolutePath());
        if (!dir.cdUp()) break;
    }
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name =
            depth == 0 ? QDir::toNativeSeparators(folder) : QFileInfo(folder).fileName();
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(Qt::UserRole, folder);
        ++depth;
    }
    setCurrentRow(count() - 1);
    platform::ListOptions folders;
    folders.files = false;
    folders.folders = true;
    for (const QString& name : platform::listFolder(m_path, QStringLiteral("*"), folders)) {
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(Qt::UserRole, platform::joinPath(m_path, name));
    }
}

void FolderListBox::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && currentItem()) {
        setPath(currentItem()->data(Qt::UserRole).toString());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FolderListBox::keyboardSearch(const QString& search) {
    if (search.isEmpty() || count() == 0) return;
    const bool again =
        m_sinceTyped.isValid() && m_sinceTyped.elapsed() <= QApplication::keyboardInputInterval();
    m_sinceTyped.start();
    m_typed = again ? m_typed + search : search;
    // A longer text may still match the entry found so far; a new one starts below it.
    const int from = std::max(currentRow(), 0) + (again ? 0 : 1);
    for (int i = 0; i < count(); ++i) {
        const int row = (from + i) % count();
        if (item(row)->text().trimmed().startsWith(m_typed, Qt::CaseInsensitive)) {
            setCurrentRow(row);
            scrollToItem(item(row));
            return;
        }
    }
}
