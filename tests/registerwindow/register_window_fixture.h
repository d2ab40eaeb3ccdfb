// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The register window over the platform doubles, with real drawings in a temporary folder and
// a register file beside them.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidget>

#include "registerwindow/register_window.h"
#include "support/gui/fake_platform.h"
#include "support/qt_printers.h"

class RegisterWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_folder = QFileInfo(m_dir.path()).canonicalFilePath() + "/archive";
        m_database = m_dir.filePath("registers/register.sqlite");
        ASSERT_TRUE(QDir().mkpath(m_folder));
        for (const char* name : {"boiler-feed.dxf", "cooling-water.dxf", "tank-farm.dxf"}) {
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLON_EXAMPLES_DIR "/") + name,
                                    m_folder + "/" + name));
        }
        fakes.settings.set("Register", "File", m_database);
        fakes.settings.set("Register", "Folder1", m_folder);
    }

    RegisterWindow& open(std::function<void(reg::IndexOptions&)> tune = {}) {
        window = std::make_unique<RegisterWindow>(fakes.platform(), std::move(tune));
        window->show();
        return *window;
    }

    // Lets the window's events run until the run is over (at most a minute).
    void waitForTheRun() {
        const QDeadlineTimer deadline(60000);
        while (window->isIndexing() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(1);
        }
        ASSERT_FALSE(window->isIndexing()) << "the run did not end";
        QCoreApplication::processEvents();
    }

    // The folder list as shown: each row's columns joined by tabs.
    QStringList rows() const {
        QStringList shown;
        for (int i = 0; i < window->folderList->topLevelItemCount(); ++i) {
            QStringList columns;
            const QTreeWidgetItem* row = window->folderList->topLevelItem(i);
            for (int c = 0; c < window->folderList->columnCount(); ++c) columns << row->text(c);
            shown << columns.join('\t');
        }
        return shown;
    }

    bool statusIsRed() const {
        return window->statusLabel->palette().color(QPalette::WindowText) == QColor(Qt::red);
    }

    QTemporaryDir m_dir;
    QString m_folder;
    QString m_database;
    fake::FakePlatform fakes;
    std::unique_ptr<RegisterWindow> window;
};
