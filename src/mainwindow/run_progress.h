// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QProgressBar;
class QPushButton;

// Drawings done of the total and a Cancel button, beside the status line while a run reads
// drawings. It keeps its place when idle, so the window does not move when a run starts. A
// click on Cancel is only noted: the run asks between drawings and stops there.
class RunProgress : public QWidget {
    Q_OBJECT
public:
    explicit RunProgress(QWidget* parent = nullptr);

    // A run begins: Cancel is offered and no cancel is pending.
    void begin();
    // `done` of `total`; a total of 0 puts the bar away.
    void showDone(qint64 done, qint64 total);
    // The run is over, however it ended.
    void end();
    bool cancelRequested() const { return m_cancelRequested; }

    QProgressBar* bar() const { return m_bar; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QProgressBar* m_bar;
    QPushButton* m_cancel;
    bool m_cancelRequested = false;
};
