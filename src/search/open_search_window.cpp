// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/open_search_window.h"

#include "search/search_window.h"

QWidget* openSearchWindow(platform::Platform platform, drawingapi::ReaderFactory readerFactory,
                          const QString& drawingFolder,
                          std::function<void(const QString&)> drawingFolderChosen, QWidget* owner) {
    auto* window = new SearchWindow(platform, std::move(readerFactory), drawingFolder, owner);
    QObject::connect(window, &SearchWindow::drawingFolderChosen, window,
                     std::move(drawingFolderChosen));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    return window;
}
