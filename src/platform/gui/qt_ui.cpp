// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/qt_ui.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>

namespace platform {

void QtUi::beginHourglass() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void QtUi::endHourglass() {
    QGuiApplication::restoreOverrideCursor();
}

void QtUi::beep() {
    QApplication::beep();
}

namespace {

// Long loops ask for pending events once per block reference; running them (and the repaints
// they bring) that often cost more than the extraction itself. A click still arrives in time.
constexpr qint64 kEventInterval = 15;  // ms

}  // namespace

void QtUi::processEvents() {
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kEventInterval) return;
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

QSize QtUi::screenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

}  // namespace platform
