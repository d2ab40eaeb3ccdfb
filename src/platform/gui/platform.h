// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/settings.h"
#include "platform/gui/shell.h"
#include "platform/gui/ui.h"

namespace platform {

// Every platform service a window needs, handed to its constructor. Cheap to copy: it only
// refers to services that someone else owns (QtPlatform in the program, FakePlatform in tests)
// and that must outlive every window holding a copy.
struct Platform {
    Dialogs& dialogs;
    Shell& shell;
    Clipboard& clipboard;
    Settings& settings;
    Ui& ui;
    Clock& clock;
};

}  // namespace platform
