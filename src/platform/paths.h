// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// Joins a folder and a name with the native separator, unless the folder already ends with one.
// An empty folder gives the name unchanged.
QString joinPath(const QString& folder, const QString& name);

// The file-system root that holds `path` (a mount point here, such as "/" or "/media/usb", a
// drive letter on Windows). A missing path is taken from its nearest existing parent; a
// relative path is taken from the current folder. Empty when no root can be found.
QString driveOf(const QString& path);

// Why the system cannot take `path`: it is longer than a path may be, or one of its names is
// longer than a name may be. Empty when neither.
QString pathTooLong(const QString& path);

// The path as it exists on disk: the exact path when it exists, else each component matched
// ignoring letter case (an exact match preferred, then the first in case-insensitive order).
// Components that match nothing are kept as given, so the result names the missing file.
// A path the system cannot take (pathTooLong) is given back unchanged, nothing looked up, and
// `refusal` (when given) says why; otherwise `refusal` is emptied. Time grows with the path's
// length, never with its square.
QString resolvePath(const QString& path, QString* refusal = nullptr);

}  // namespace platform
