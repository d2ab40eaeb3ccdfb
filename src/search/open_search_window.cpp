// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/open_search_window.h"

#include <QScreen>
#include <algorithm>

#include "search/search_window.h"

QWidget* openSearchWindow(platform::Platform platform, drawingapi::ReaderFactory readerFactory,
                          const QString& drawingFolder,
                          std::function<void(const QString&)> drawingFolderChosen, QWidget* owner) {
    auto* window = new SearchWindow(platform, std::move(readerFactory), drawingFolder, owner);
    QObject::connect(window, &SearchWindow::drawingFolderChosen, window,
                     std::move(drawingFolderChosen));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    if (owner) {
        // Over the middle of the window it came from, within that window's screen.
        window->adjustSize();
        QRect placed(QPoint(), window->size());
        placed.moveCenter(owner->frameGeometry().center());
        if (const QScreen* screen = owner->screen()) {
            const QRect area = screen->availableGeometry();
            placed.moveLeft(std::clamp(placed.left(), area.left(),
                                       std::max(area.left(), area.right() - placed.width())));
            placed.moveTop(std::clamp(placed.top(), area.top(),
                                      std::max(area.top(), area.bottom() - placed.height())));
        }
        window->move(placed.topLeft());
    }
    window->show();
    return window;
}
