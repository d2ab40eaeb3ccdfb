// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <memory>

#include "engine/extraction_run.h"
#include "mainwindow/run_progress.h"
#include "mainwindow/status_painter.h"
#include "platform/services/platform.h"

// What the run asks of the window while it works.
class WindowRunUi : public ExtractionRunUi {
public:
    // `progress`, when given, shows drawings done and offers Cancel for as long as this lives.
    WindowRunUi(platform::Platform& platform, QLabel* status, RunProgress* progress = nullptr)
        : m_platform(platform), m_status(status), m_progress(progress) {
        if (m_progress) m_progress->begin();
    }
    ~WindowRunUi() override {
        if (m_progress) m_progress->end();
    }
    WindowRunUi(const WindowRunUi&) = delete;
    WindowRunUi& operator=(const WindowRunUi&) = delete;
    void processPendingEvents() override { m_platform.ui.processEvents(); }
    void showError(const QString& caption, const QString& text) override {
        m_platform.dialogs.messageBox(caption, text, platform::MessageIcon::Exclamation,
                                      platform::MessageButtons::OK, platform::DialogButton::None,
                                      true);
    }
    void setStatus(const QString& text) override { m_statusPainter.show(m_status, text); }
    void setProblem(const QString& text) override {
        m_statusPainter.show(m_status, text, StatusTone::Problem);
    }
    void setProgress(qint64 done, qint64 total) override {
        if (m_progress) m_progress->showDone(done, total);
    }
    bool cancelRequested() const override {
        return m_progress != nullptr && m_progress->cancelRequested();
    }
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
    RunProgress* m_progress;
    std::unique_ptr<platform::Hourglass> m_hourglass;
};
