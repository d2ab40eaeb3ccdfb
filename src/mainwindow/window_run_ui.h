// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <memory>

#include "engine/extraction_run.h"
#include "mainwindow/status_painter.h"
#include "platform/services/platform.h"

// What the run asks of the window while it works.
class WindowRunUi : public ExtractionRunUi {
public:
    WindowRunUi(platform::Platform& platform, QLabel* status)
        : m_platform(platform), m_status(status) {}
    void processPendingEvents() override { m_platform.ui.processEvents(); }
    void showError(const QString& caption, const QString& text) override {
        m_platform.dialogs.messageBox(caption, text, platform::MessageIcon::Exclamation,
                                      platform::MessageButtons::OK, platform::DialogButton::None,
                                      true);
    }
    void setStatus(const QString& text) override { m_statusPainter.show(m_status, text); }
    void setBusy(bool busy) override {
        if (busy) {
            m_hourglass = std::make_unique<platform::Hourglass>(m_platform.ui);
        } else {
            m_hourglass.reset();
        }
    }

private:
    platform::Platform& m_platform;
    StatusPainter m_statusPainter;
    QLabel* m_status;
    std::unique_ptr<platform::Hourglass> m_hourglass;
};
