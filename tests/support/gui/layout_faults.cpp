// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/gui/layout_faults.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace fake {
namespace {

QRect inWindow(QWidget& window, const QWidget* w) {
    return QRect(w->mapTo(&window, QPoint(0, 0)), w->size());
}

}  // namespace

QStringList layoutFaults(QWidget& window) {
    QList<QWidget*> shown;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")) && w->isVisibleTo(&window))
            shown << w;
    }
    QStringList faults;
    for (QWidget* w : shown) {
        const QString name = w->objectName();
        const auto* label = qobject_cast<QLabel*>(w);
        const bool captioned =
            (label && !label->wordWrap()) || qobject_cast<QAbstractButton*>(w) != nullptr;
        if (captioned && w->width() < w->sizeHint().width()) {
            faults << name + " cut: " + QString::number(w->width()) + " < " +
                          QString::number(w->sizeHint().width());
        }
        if (captioned && w->height() < w->minimumSizeHint().height()) {
            faults << name + " too low: " + QString::number(w->height());
        }
        if (auto* box = qobject_cast<QGroupBox*>(w);
            box && box->width() < box->minimumSizeHint().width()) {
            faults << name + " title cut";
        }
        if (!w->parentWidget()->rect().contains(w->geometry())) {
            faults << name + " outside its parent";
        }
    }
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (qobject_cast<QGroupBox*>(shown[i])) continue;
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            if (qobject_cast<QGroupBox*>(shown[j])) continue;
            if (inWindow(window, shown[i]).intersects(inWindow(window, shown[j]))) {
                faults << shown[i]->objectName() + " overlaps " + shown[j]->objectName();
            }
        }
    }
    return faults;
}

}  // namespace fake
