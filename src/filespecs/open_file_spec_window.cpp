// SPDX-License-Identifier: GPL-3.0-or-later
#include "filespecs/open_file_spec_window.h"

#include "filespecs/file_spec_window.h"

std::optional<FileSpecChoice> chooseDrawingPattern(platform::Platform platform,
                                                   const QString& programFolder,
                                                   QString& drawingFolder, QWidget* owner) {
    FileSpecWindow window(platform, programFolder, drawingFolder, owner);
    window.exec();
    drawingFolder = window.drawingFolder();
    return window.choice();
}
