// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A drawing file pattern chosen for the main window's drawing selection: `folder` is
// empty for a pattern without a folder, which changes only the pattern.
struct FileSpecChoice {
    QString folder;
    QString pattern;
    bool operator==(const FileSpecChoice&) const = default;
};
