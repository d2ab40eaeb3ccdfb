// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/link_label.h"

#include <QKeyEvent>
#include <QMouseEvent>

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setHighlighted(false);
}

void LinkLabel::setHighlighted(bool highlighted) {
    m_highlighted = highlighted;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, highlighted ? Qt::red : Qt::blue);
    setPalette(colours);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    setHighlighted(true);
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
    setHighlighted(false);
    QLabel::leaveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}
