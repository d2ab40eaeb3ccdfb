// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace batch {

// The files matching `pattern` in `folder` and, depth first, in its subfolders: a folder's own
// files before those of its subfolders, hidden and system files included, hidden subfolders
// not entered. Each folder is entered once however many links lead to it, and a link to a
// folder inside the walked tree is not followed. `scanning` is told each subfolder as it is
// found.
QStringList ScanFolder(const QString& folder, const QString& pattern,
                       const std::function<void(const QString&)>& scanning = {});

}  // namespace batch
