// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/clock.h"

namespace fake {

// A clock that moves only when told, or by a fixed step at every reading.
class FakeClock : public platform::Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)),
                       qint64 stepMs = 0)
        : m_now(std::move(start)), m_stepMs(stepMs) {}
    QDateTime now() const override {
        const QDateTime reading = m_now;
        m_now = m_now.addMSecs(m_stepMs);
        return reading;
    }
    void advance(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    mutable QDateTime m_now;
    qint64 m_stepMs;
};

}  // namespace fake
