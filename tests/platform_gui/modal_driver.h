// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

// A dialog that ignored what the test did to it (an accept it refused) is closed after a few
// seconds, failing the test instead of hanging it.
inline void closeIfStillOpen(QDialog* dialog) {
    QTimer::singleShot(3000, dialog, [dialog] {
        if (dialog->isVisible() && QApplication::activeModalWidget() == dialog) {
            ADD_FAILURE() << dialog->metaObject()->className() << " stayed open";
            dialog->reject();
        }
    });
}

// Acts on the next modal dialog of type Dialog once it is on screen, so a test can drive a
// dialog whose exec() blocks the test itself. After a few seconds without one it fails the
// test and closes whatever modal dialog is open, so a test never hangs.
template <typename Dialog>
void whenShown(std::function<void(Dialog*)> act, int triesLeft = 300) {
    QTimer::singleShot(10, qApp, [act = std::move(act), triesLeft]() mutable {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            act(dialog);
            closeIfStillOpen(dialog);
        } else if (triesLeft > 0) {
            whenShown<Dialog>(std::move(act), triesLeft - 1);
        } else {
            ADD_FAILURE() << "The expected " << Dialog::staticMetaObject.className()
                          << " never appeared";
            if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                open->reject();
        }
    });
}
