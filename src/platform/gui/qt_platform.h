// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/services/platform.h"

namespace platform {

// Owns the Qt implementation of every platform service; create one in main() after the
// QApplication and keep it alive longer than every window.
class QtPlatform {
public:
    QtPlatform();
    ~QtPlatform();
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    const Platform& platform() const { return *m_platform; }

private:
    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<Shell> m_shell;
    std::unique_ptr<Clipboard> m_clipboard;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Ui> m_ui;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<Platform> m_platform;
};

std::unique_ptr<QtPlatform> makeQtPlatform();

}  // namespace platform
