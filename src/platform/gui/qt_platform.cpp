// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/qt_platform.h"

#include "platform/gui/qt_clipboard.h"
#include "platform/gui/qt_dialogs.h"
#include "platform/gui/qt_settings.h"
#include "platform/gui/qt_shell.h"
#include "platform/gui/qt_ui.h"

namespace platform {

QtPlatform::QtPlatform()
    : m_dialogs(std::make_unique<QtDialogs>()),
      m_shell(std::make_unique<QtShell>()),
      m_clipboard(std::make_unique<QtClipboard>()),
      m_settings(std::make_unique<QtSettings>()),
      m_ui(std::make_unique<QtUi>()),
      m_clock(std::make_unique<SystemClock>()),
      m_platform(std::make_unique<Platform>(
          Platform{*m_dialogs, *m_shell, *m_clipboard, *m_settings, *m_ui, *m_clock})) {}

QtPlatform::~QtPlatform() = default;

std::unique_ptr<QtPlatform> makeQtPlatform() {
    return std::make_unique<QtPlatform>();
}

}  // namespace platform
