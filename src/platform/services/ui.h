// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

namespace platform {

// Application-wide user-interface services that belong to no single window.
class Ui {
public:
    virtual ~Ui() = default;

    // Hourglass pointer for the whole application; calls nest, each begin needs its end.
    // Use Hourglass rather than calling these directly.
    virtual void beginHourglass() = 0;
    virtual void endHourglass() = 0;

    virtual void beep() = 0;
    // Lets pending events (repaints, clicks on Abort) run inside a long handler.
    virtual void processEvents() = 0;
    // The primary screen's size in device-independent pixels.
    virtual QSize screenSize() const = 0;
};

// Shows the hourglass for as long as it lives, so every way out of a handler restores the
// pointer. release() restores it early, where the pointer must be back before a message box.
class Hourglass {
public:
    explicit Hourglass(Ui& ui) : m_ui(&ui) { m_ui->beginHourglass(); }
    ~Hourglass() { release(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

    void release() {
        if (m_ui) m_ui->endHourglass();
        m_ui = nullptr;
    }

private:
    Ui* m_ui;
};

}  // namespace platform
