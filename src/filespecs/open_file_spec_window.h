// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "filespecs/file_spec_choice.h"
#include "platform/gui/platform.h"

class QWidget;

// Shows the file specification window in front of `owner`, which takes no input until it
// closes. `drawingFolder` is the shared drawing folder: Add starts there and changes it. Returns
// the specification the user selected, if any; a selected folder exists.
std::optional<FileSpecChoice> chooseFileSpecification(platform::Platform platform,
                                                      const QString& programFolder,
                                                      QString& drawingFolder, QWidget* owner);
