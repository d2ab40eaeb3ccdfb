// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>
#include <optional>

#include "output/send_request.h"
#include "platform/services/platform.h"

// What a picture of the main window shows.
struct MainWindowShot {
    QString folder;  // the program, drawing and template folder
    std::optional<output::Destination> destination;
    bool spaceDelimited = false;
    std::optional<QSize> size;
};

// Loads the main window from `services` (its settings name the folders), adds two sample records,
// and saves the window as a PNG file. False when the file cannot be written.
bool saveMainWindowScreenshot(platform::Platform services, const MainWindowShot& shot,
                              const QString& pngPath);
