// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"
#include "platform/services/clipboard.h"
#include "platform/services/dialogs.h"
#include "platform/services/settings.h"
#include "platform/services/shell.h"
#include "platform/services/ui.h"

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
