// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/folder_list.h"

#include <QDir>
#include <QFileInfo>

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
