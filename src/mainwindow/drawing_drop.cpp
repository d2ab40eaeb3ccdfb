// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/drawing_drop.h"

#include <QDir>
#include <QFileInfo>

bool isDrawingName(const QString& name) {
    return name.endsWith(QLatin1String(".dwg"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".dxf"), Qt::CaseInsensitive);
}

namespace {

enum class Kind { Folder, Drawing, Other };

Kind kindOf(const QFileInfo& info) {
    if (info.isDir()) return Kind::Folder;
    if (info.isFile() && isDrawingName(info.fileName())) return Kind::Drawing;
    return Kind::Other;
}

QString shownName(const QUrl& url) {
    const QString name = QFileInfo(url.toLocalFile()).fileName();
    return name.isEmpty() ? url.toDisplayString() : name;
}

}  // namespace

DrawingDrop readDrawingDrop(const QList<QUrl>& urls) {
    DrawingDrop drop;
    bool folderDropped = false;
    for (const QUrl& url : urls) {
        const QFileInfo info(url.isLocalFile() ? url.toLocalFile() : QString());
        const Kind kind = url.isLocalFile() ? kindOf(info) : Kind::Other;
        if (kind == Kind::Other) {
            drop.ignored << shownName(url);
            continue;
        }
        const QString folder =
            QDir::cleanPath(kind == Kind::Folder ? info.absoluteFilePath() : info.absolutePath());
        if (drop.folder.isEmpty()) {
            drop.folder = folder;
            folderDropped = kind == Kind::Folder;
            if (kind == Kind::Drawing) drop.names << info.fileName();
            continue;
        }
        if (!folderDropped && kind == Kind::Drawing && folder == drop.folder) {
            drop.names << info.fileName();
        } else {
            drop.ignored << shownName(url);
        }
    }
    return drop;
}

bool acceptsDrawingDrop(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        if (url.isLocalFile() && kindOf(QFileInfo(url.toLocalFile())) != Kind::Other) return true;
    }
    return false;
}
