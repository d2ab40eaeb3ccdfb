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

int FolderListBox::setPath(const QString& folder) {
    const QString resolved = platform::resolvePath(folder);
    const QFileInfo info(resolved);
    if (folder.isEmpty() || !info.isDir()) return 76;
    if (!info.isReadable()) return 71;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    if (clean == m_path) return 0;
    m_path = clean;
    fill();
    emit pathChanged();
    return 0;
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
