// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/open_search_window.h"

#include "search/search_window.h"

QWidget* openSearchWindow(platform::Platform platform, acad::ApplicationFactory drawingApplication,
                          const QString& defaultDrawingFolder, QWidget* owner) {
    auto* window =
        new SearchWindow(platform, std::move(drawingApplication), defaultDrawingFolder, owner);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    return window;
}
