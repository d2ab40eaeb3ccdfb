// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/services/platform.h"
#include "update/update_source.h"

class QWidget;

// Opens a new "Update drawings" window in front of `owner`, which takes no input until it is
// closed. `folders` are the main window's destination folders, where Browse starts. The window
// stores its settings and goes away when it closes.
QWidget* openUpdateWindow(platform::Platform platform, const SourceFolders& folders,
                          QWidget* owner);
