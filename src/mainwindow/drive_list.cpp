// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/drive_list.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include "platform/paths.h"

namespace {

// Kernel and container bookkeeping mounts hold no drawings.
bool isUserVolume(const QStorageInfo& volume) {
    static const QList<QByteArray> pseudo = {
        "proc",    "sysfs",  "devtmpfs",    "devpts",  "cgroup",   "cgroup2",   "securityfs",
        "pstore",  "bpf",    "tracefs",     "debugfs", "mqueue",   "hugetlbfs", "configfs",
        "fusectl", "autofs", "binfmt_misc", "nsfs",    "efivarfs", "ramfs",     "rpc_pipefs"};
    return volume.isValid() && !pseudo.contains(volume.fileSystemType());
}

}  // namespace

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    refresh();
    connect(this, &QComboBox::activated, this, [this](int) { emit driveChanged(); });
}

void DriveListBox::refresh() {
    const QString current = drive();
    QSignalBlocker block(this);
    clear();
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (isUserVolume(volume) && !roots.contains(volume.rootPath())) {
            roots << volume.rootPath();
        }
    }
    roots.sort(Qt::CaseInsensitive);
    for (const QString& root : roots) addItem(QDir::toNativeSeparators(root), root);
    const int index = findData(current);
    setCurrentIndex(index >= 0 ? index : 0);
}

core::Status DriveListBox::setDrive(const QString& path) {
    const QString root = platform::driveOf(path);
    if (root.isEmpty() || !QFileInfo(root).exists())
        return core::Error{0, QStringLiteral("it is no longer mounted")};
    if (!QFileInfo(root).isReadable()) return core::Error{0, QStringLiteral("permission denied")};
    int index = findData(root);
    if (index < 0) {
        addItem(QDir::toNativeSeparators(root), root);
        index = count() - 1;
    }
    if (index != currentIndex()) {
        setCurrentIndex(index);
        emit driveChanged();
    }
    return core::success();
}
