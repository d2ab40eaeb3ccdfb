// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The command line of a desktop entry's Exec key with `file` as its one argument: quoting and
// escapes resolved, %f %F %u %U replaced by the file, the other field codes dropped. The file
// is appended when the line has no file code. Empty when the line holds no program.
QStringList desktopExecCommand(const QString& exec, const QString& file);

// The Exec value of the "[Desktop Entry]" group of a desktop entry file's text; empty when the
// entry has none or must run in a terminal.
QString desktopEntryExec(const QString& desktopFileText);

}  // namespace platform
