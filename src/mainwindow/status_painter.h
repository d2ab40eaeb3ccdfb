// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>

// What a status message is: news in the window's own text colour, or a problem in red, so a
// failure stands out from the messages that only say what was done.
enum class StatusTone { Info, Problem };

// Puts a text on a status label and paints it at once, so it shows inside a long handler, but
// at most once every few milliseconds: a run over 500 small drawings sets it 500 times.
class StatusPainter {
public:
    void show(QLabel* label, const QString& text, StatusTone tone = StatusTone::Info) {
        const QColor colour = tone == StatusTone::Problem
                                  ? QColor(0xC0, 0x00, 0x00)
                                  : QApplication::palette(label).color(QPalette::WindowText);
        if (label->palette().color(QPalette::WindowText) != colour) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, colour);
            label->setPalette(palette);
        }
        label->setText(text);
        if (m_sincePaint.isValid() && m_sincePaint.elapsed() < kInterval) return;
        label->repaint();
        m_sincePaint.start();
    }

private:
    static constexpr qint64 kInterval = 15;  // ms
    QElapsedTimer m_sincePaint;
};
