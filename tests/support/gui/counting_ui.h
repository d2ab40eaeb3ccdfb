// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "platform/services/ui.h"

namespace fake {

// Counts what the code under test asked of the user interface. `onProcessEvents` runs at every
// processEvents() call: the place where a test lets a click (Abort, say) arrive mid-run.
class CountingUi : public platform::Ui {
public:
    void beginHourglass() override {
        ++hourglassDepth;
        ++hourglassBegins;
    }
    void endHourglass() override { --hourglassDepth; }
    void beep() override { ++beeps; }
    void processEvents() override {
        if (onProcessEvents) onProcessEvents();
    }
    QSize screenSize() const override { return screen; }

    int hourglassDepth = 0;  // 0 when every begin met its end
    int hourglassBegins = 0;
    int beeps = 0;
    QSize screen{1920, 1080};
    std::function<void()> onProcessEvents;
};

}  // namespace fake
