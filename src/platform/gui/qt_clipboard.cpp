// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {

void QtClipboard::clear() {
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

void QtClipboard::setText(const QString& text) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

QString QtClipboard::text() const {
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

}  // namespace platform
