#pragma once

#include <QString>

namespace platform {

// Joins a folder and a name with the native separator, unless the folder already ends with one.
QString joinPath(const QString& folder, const QString& name);

// The file-system root that holds `path` (a mount point here, a drive letter on Windows).
QString driveOf(const QString& path);

// The path as it exists on disk: the exact path when it exists, else each component matched
// ignoring letter case (an exact match preferred, then the first in case-insensitive order).
// Components that match nothing are kept as given, so the result names the missing file.
QString resolvePath(const QString& path);

}  // namespace platform
