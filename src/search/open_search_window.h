// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

#include "engine/drawing_api/drawing_api.h"
#include "platform/services/platform.h"

class QWidget;

// Opens a new search window in front of `owner`, which takes no input until the search window
// is closed. The window stores its settings and goes away when it closes. `drawingFolder` is
// the shared drawing folder; a folder the user picks there is handed to `drawingFolderChosen`.
QWidget* openSearchWindow(platform::Platform platform, drawingapi::ReaderFactory readerFactory,
                          const QString& drawingFolder,
                          std::function<void(const QString&)> drawingFolderChosen, QWidget* owner);
