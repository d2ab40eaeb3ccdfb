// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/open_update_window.h"

#include "update/update_window.h"

QWidget* openUpdateWindow(platform::Platform platform, const SourceFolders& folders,
                          QWidget* owner) {
    auto* window = new UpdateWindow(platform, folders, owner);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    return window;
}
