// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Where a freedesktop.org desktop keeps its program associations, most important first.
struct AssociationFolders {
    QStringList configFolders;       // $XDG_CONFIG_HOME, then each of $XDG_CONFIG_DIRS
    QStringList applicationFolders;  // $XDG_DATA_HOME/applications, then those of $XDG_DATA_DIRS
    QStringList desktopNames;        // $XDG_CURRENT_DESKTOP in lower case, e.g. "gnome"

    static AssociationFolders fromEnvironment();
};

// The desktop entry file of the desktop's default program for `mimeType`, following the
// freedesktop.org rules: the [Default Applications] of the mimeapps.list files in order (the
// desktop's own list first in each folder), then their [Added Associations], then the
// mimeinfo.cache of the application folders; the first entry that is installed wins. Empty
// when there is none. Reads a few small files and starts no process.
QString defaultApplicationEntry(const QString& mimeType, const AssociationFolders& folders);

}  // namespace platform
