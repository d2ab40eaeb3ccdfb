// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QLabel>

// Puts a text on a status label and paints it at once, so it shows inside a long handler, but
// at most once every few milliseconds: a run over 500 small drawings sets it 500 times.
class StatusPainter {
public:
    void show(QLabel* label, const QString& text) {
        label->setText(text);
        if (m_sincePaint.isValid() && m_sincePaint.elapsed() < kInterval) return;
        label->repaint();
        m_sincePaint.start();
    }

private:
    static constexpr qint64 kInterval = 15;  // ms
    QElapsedTimer m_sincePaint;
};
