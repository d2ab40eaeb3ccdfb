// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/qt_ui.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <QMetaObject>

namespace {

bool hourglassShown() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

// A handler with several ways out, as the long ones have.
int handler(platform::Ui& ui, int way) {
    platform::Hourglass hourglass(ui);
    if (way == 0) return 0;
    if (way == 1) throw std::runtime_error("failed");
    if (way == 2) {
        hourglass.release();  // the pointer is back before the message box
        EXPECT_FALSE(hourglassShown());
        return 2;
    }
    EXPECT_TRUE(hourglassShown());
    return 3;
}

TEST(QtUi, TheHourglassIsRestoredOnEveryWayOut) {
    platform::QtUi ui;
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    for (const int way : {0, 1, 2, 3}) {
        if (way == 1) {
            EXPECT_THROW(handler(ui, way), std::runtime_error);
        } else {
            EXPECT_EQ(handler(ui, way), way);
        }
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << way;
    }

    {
        platform::Hourglass outer(ui);
        {
            platform::Hourglass inner(ui);  // a handler calling another keeps the hourglass
        }
        EXPECT_TRUE(hourglassShown());
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtUi, RunsPendingEvents) {
    platform::QtUi ui;
    bool ran = false;
    QMetaObject::invokeMethod(
        qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
    EXPECT_FALSE(ran);
    ui.processEvents();
    EXPECT_TRUE(ran);
}

}  // namespace
