// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/single_instance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUuid>

namespace {

TEST(SingleInstance, SecondClaimIsRefusedAndRaisesTheFirst) {
    const QString name = "quillon-test-" + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance first(name);
    ASSERT_TRUE(first.claim());
    int raises = 0;
    QObject::connect(&first, &SingleInstance::raiseRequested, [&raises] { ++raises; });

    SingleInstance second(name);
    EXPECT_FALSE(second.claim());
    QElapsedTimer timer;
    timer.start();
    while (raises == 0 && timer.elapsed() < 5000) QCoreApplication::processEvents();
    EXPECT_EQ(raises, 1);
}

TEST(SingleInstance, NoOneRunningMeansTheClaimSucceeds) {
    const QString name = "quillon-test-" + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance alone(name);
    EXPECT_FALSE(alone.askRunningToRaise());
    EXPECT_TRUE(alone.claim());
}

}  // namespace
