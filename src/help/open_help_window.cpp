// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/open_help_window.h"

#include "help/help_window.h"
#include "platform/paths.h"

void showHelpWindow(platform::Platform platform, const QString& programFolder, QWidget* owner) {
    // The owner keeps its help window, hidden when closed: one per window that asked, with the
    // place and the find text where the user left them.
    HelpWindow* window = owner ? owner->findChild<HelpWindow*>() : nullptr;
    if (!window) {
        window = new HelpWindow(platform, platform::joinPath(programFolder, "faq.fil"), owner);
        if (!owner) window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
}
