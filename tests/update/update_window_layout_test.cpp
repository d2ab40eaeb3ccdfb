// SPDX-License-Identifier: GPL-3.0-or-later
// The update window's layout: every caption whole, at the smallest size and in a large font,
// nothing on top of anything else, and the plan growing with the window.

#include <QCoreApplication>
#include <QFont>

#include "support/gui/layout_faults.h"
#include "update_window_fixture.h"

namespace {

TEST_F(UpdateWindowTest, EveryCaptionFitsAndThePlanGrowsWithTheWindow) {
    for (const int points : {9, 16}) {
        SCOPED_TRACE(points);
        open();
        QFont font = window->font();
        font.setPointSize(points);
        window->setFont(font);
        window->show();
        window->resize(window->minimumSizeHint());
        QCoreApplication::processEvents();
        EXPECT_EQ(fake::layoutFaults(*window), QStringList());

        auto* plan = control<QTableView>("planView");
        const QSize before = plan->size();
        window->resize(window->width() + 300, window->height() + 200);
        QCoreApplication::processEvents();
        EXPECT_EQ(fake::layoutFaults(*window), QStringList());
        EXPECT_GT(plan->width(), before.width());
        EXPECT_GT(plan->height(), before.height());
    }
}

}  // namespace
