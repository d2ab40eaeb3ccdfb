// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "filespecs/file_spec_choice.h"
#include "platform/services/platform.h"

class QWidget;

// Shows the file pattern window in front of `owner`, which takes no input until it
// closes. `drawingFolder` is the shared drawing folder: Add starts there and changes it. Returns
// the pattern the user selected, if any; a selected folder exists.
std::optional<FileSpecChoice> chooseDrawingPattern(platform::Platform platform,
                                                   const QString& programFolder,
                                                   QString& drawingFolder, QWidget* owner);
