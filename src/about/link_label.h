// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A caption that acts as a link: blue, red while the pointer is over it, a hand pointer, and a
// click (or Enter and Space when it has the focus) that emits clicked().
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    void setHighlighted(bool highlighted);
    bool isHighlighted() const { return m_highlighted; }

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_highlighted = false;
};
