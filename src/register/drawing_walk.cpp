// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/drawing_walk.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "batch/folder_scan.h"
#include "platform/file_system.h"
#include "platform/paths.h"

namespace reg {

QStringList registerRoots(const QStringList& folders) {
    QStringList roots;
    for (const QString& folder : folders) {
        const QFileInfo info(folder);
        const QString canonical = info.canonicalFilePath();
        const QString root =
            canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
        if (!roots.contains(root)) roots << root;
    }
    return roots;
}

QStringList listDrawings(const QStringList& roots) {
    QStringList drawings;
    QSet<QString> seen;  // overlapping roots (a folder and its subfolder) list a file twice
    for (const QString& root : roots) {
        for (const QString& path : batch::ScanFolder(root, QStringLiteral("*.dwg;*.dxf"))) {
            if (seen.contains(path)) continue;
            seen.insert(path);
            drawings << path;
        }
    }
    return drawings;
}

bool underRoots(const QString& path, const QStringList& roots) {
    for (const QString& root : roots) {
        if (path.startsWith(platform::joinPath(root, QString()))) return true;
    }
    return false;
}

bool stampOf(const QString& path, FileStamp& stamp) {
    const QFileInfo info(path);
    if (!info.exists()) return false;
    stamp.size = info.size();
    stamp.mtime = info.lastModified().toMSecsSinceEpoch();
    return true;
}

QString contentHash(const QString& path, QString& error, bool& gone) {
    QFile file(path);
    gone = false;
    if (!platform::openRegularFile(file, path, error)) {
        gone = !QFileInfo::exists(path);
        return {};
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) {
        error = file.errorString();
        return {};
    }
    return QString::fromLatin1(hash.result().toHex());
}

}  // namespace reg
