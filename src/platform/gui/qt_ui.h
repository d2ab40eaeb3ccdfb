// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>

#include "platform/services/ui.h"

namespace platform {

class QtUi : public Ui {
public:
    void beginHourglass() override;
    void endHourglass() override;
    void beep() override;
    void processEvents() override;
    QSize screenSize() const override;

private:
    QElapsedTimer m_sinceEvents;
};

}  // namespace platform
