#pragma once

#include "platform/gui/ui.h"

namespace platform {

class QtUi : public Ui {
public:
    void beginHourglass() override;
    void endHourglass() override;
    void beep() override;
    void processEvents() override;
    QSize screenSize() const override;
};

}  // namespace platform
