#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

// Acts on the next modal dialog once it is on screen, so a test can drive a dialog whose exec()
// blocks the test itself. Gives up (and the dialog stays open) after a few seconds.
inline void whenModalShown(std::function<void(QWidget*)> act, int triesLeft = 500) {
    QTimer::singleShot(10, qApp, [act = std::move(act), triesLeft]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            act(modal);
        } else if (triesLeft > 0) {
            whenModalShown(std::move(act), triesLeft - 1);
        }
    });
}
