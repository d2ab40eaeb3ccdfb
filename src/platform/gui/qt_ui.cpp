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

void QtUi::processEvents() {
    QCoreApplication::processEvents();
}

QSize QtUi::screenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

}  // namespace platform
