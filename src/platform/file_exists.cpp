// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_exists.h"

#include <QFileInfo>

#include "platform/folder_listing.h"
#include "platform/paths.h"

namespace platform {

bool fileExists(const QString& path) {
    if (path.isEmpty()) return false;
    const QFileInfo info(resolvePath(path));
    const QString name = info.fileName();
    if (name.isEmpty()) return info.isDir();  // a folder given with a trailing separator
    if (name.startsWith(QLatin1Char('.'))) return false;  // hidden
    // Only a wildcard makes a pattern: any other character, ";" too, is part of the name.
    if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?'))) {
        return info.isFile() || info.isDir();
    }
    ListOptions options;
    options.files = true;
    options.folders = true;
    for (const QString& entry : listFolder(info.path(), QStringLiteral("*"), options)) {
        if (wildcardMatch(entry, name)) return true;
    }
    return false;
}

}  // namespace platform
