// SPDX-License-Identifier: GPL-3.0-or-later
#include "registerwindow/open_register_window.h"

#include "registerwindow/register_window.h"

QWidget* openRegisterWindow(platform::Platform platform, QWidget* owner) {
    auto* window = new RegisterWindow(platform, {}, owner);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    return window;
}
