// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/services/platform.h"
#include "support/gui/counting_ui.h"
#include "support/gui/manual_clock.h"
#include "support/gui/memory_clipboard.h"
#include "support/gui/memory_settings.h"
#include "support/gui/recording_shell.h"
#include "support/gui/scripted_dialogs.h"

namespace fake {

// Every platform service as a double, for windows under test:
//   fake::FakePlatform fakes;
//   MainWindow window(fakes.platform());
class FakePlatform {
public:
    platform::Platform platform() { return {dialogs, shell, clipboard, settings, ui, clock}; }

    ScriptedDialogs dialogs;
    RecordingShell shell;
    MemoryClipboard clipboard;
    MemorySettings settings;
    CountingUi ui;
    ManualClock clock;
};

}  // namespace fake
