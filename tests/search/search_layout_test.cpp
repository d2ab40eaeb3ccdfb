// SPDX-License-Identifier: GPL-3.0-or-later
// The search window's layout: every caption whole, at the smallest size and in a large font,
// nothing on top of anything else, and the results growing with the window. With
// QUILLON_SCREENSHOT_DIR set, the window after a run is written there as search_window.png.

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFont>
#include <QPixmap>

#include "search_window_fixture.h"

namespace {

QRect inWindow(QWidget& window, const QWidget* w) {
    return QRect(w->mapTo(&window, QPoint(0, 0)), w->size());
}

// Captions that do not fit, and controls lying over one another or out of their parent.
QStringList layoutFaults(QWidget& window) {
    QStringList faults;
    QList<QWidget*> shown;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (!name.isEmpty() && !name.startsWith("qt_") && w->isVisibleTo(&window)) shown << w;
    }
    for (QWidget* w : shown) {
        const bool captioned = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w);
        if (captioned && w->width() < w->sizeHint().width()) {
            faults << w->objectName() + " cut: " + QString::number(w->width()) + " < " +
                          QString::number(w->sizeHint().width());
        }
        if (auto* box = qobject_cast<QGroupBox*>(w);
            box && box->width() < box->minimumSizeHint().width()) {
            faults << w->objectName() + " title cut";
        }
        if (!w->parentWidget()->rect().contains(w->geometry())) {
            faults << w->objectName() + " outside its parent";
        }
    }
    for (int i = 0; i < shown.size(); ++i) {
        if (qobject_cast<QGroupBox*>(shown[i])) continue;
        for (int j = i + 1; j < shown.size(); ++j) {
            if (qobject_cast<QGroupBox*>(shown[j])) continue;
            if (inWindow(window, shown[i]).intersects(inWindow(window, shown[j]))) {
                faults << shown[i]->objectName() + " overlaps " + shown[j]->objectName();
            }
        }
    }
    return faults;
}

TEST_F(SearchWindowTest, EveryCaptionFitsAndTheResultsGrowWithTheWindow) {
    for (const int points : {9, 16}) {
        SCOPED_TRACE(points);
        open();
        QFont font = window->font();
        font.setPointSize(points);
        window->setFont(font);
        window->show();
        window->resize(window->minimumSizeHint());
        QCoreApplication::processEvents();
        EXPECT_EQ(layoutFaults(*window), QStringList());

        const QSize results = window->resultsEdit->size();
        window->resize(window->width() + 300, window->height() + 200);
        QCoreApplication::processEvents();
        EXPECT_EQ(layoutFaults(*window), QStringList());
        EXPECT_GT(window->resultsEdit->width(), results.width());
        EXPECT_GT(window->resultsEdit->height(), results.height());
    }
}

TEST_F(SearchWindowTest, Screenshot) {
    const QByteArray folder = qgetenv("QUILLON_SCREENSHOT_DIR");
    if (folder.isEmpty()) GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    fake::MemDrawing sheet;
    sheet.blocks.push_back(
        attributed("PUMP", {{"TAG", "P-101", "4D"}, {"DESC", "Feed pump 1", "4E"}}, "4A"));
    sheet.blocks.push_back(
        attributed("PUMP", {{"TAG", "P-102", "52"}, {"DESC", "Feed pump 2", "53"}}, "4F"));
    sheet.blocks.push_back(attributed("TITLE", {{"TITLE", "Boiler feed water", "61"}}, "5E", true));
    addDrawing("boiler-feed.dwg", sheet);
    setOption("Blocks", "PUMP, TITLE");
    open();
    window->show();
    window->resize(900, 620);
    searchFor("feed");
    QCoreApplication::processEvents();
    const QString path = QString::fromLocal8Bit(folder) + "/search_window.png";
    ASSERT_TRUE(window->grab().save(path)) << path.toStdString();
}

}  // namespace
