// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"

namespace fake {

// A clock that moves only when the test moves it.
class ManualClock : public platform::Clock {
public:
    QDateTime now() const override { return current; }
    void advance(qint64 ms) { current = current.addMSecs(ms); }

    QDateTime current{QDate(2024, 3, 5), QTime(14, 7, 9)};
};

}  // namespace fake
