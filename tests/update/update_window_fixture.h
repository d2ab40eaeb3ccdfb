// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include "drawing/dxf_reader.h"
#include "support/drawing_values.h"
#include "support/files.h"
#include "support/gui/fake_platform.h"
#include "support/qt_printers.h"
#include "update/update_window.h"

// The update window over the platform doubles and a scratch folder holding copies of the
// example drawings: cooling-water.dxf (title block 63) and boiler-feed.dxf (title blocks 5E
// and 6A on two sheets).
class UpdateWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"cooling-water.dxf", "boiler-feed.dxf"}) {
            const QString copy = dir.filePath(QLatin1String(name));
            ASSERT_TRUE(QFile::copy(
                QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples/") + QLatin1String(name),
                copy));
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        }
        cooling = dir.filePath("cooling-water.dxf");
        boiler = dir.filePath("boiler-feed.dxf");
        coolingBytes = testfiles::read(cooling);
        boilerBytes = testfiles::read(boiler);
    }

    // Creates the window; settings given before are applied.
    UpdateWindow& open(const SourceFolders& folders = {}) {
        window = std::make_unique<UpdateWindow>(fakes.platform(), folders);
        return *window;
    }
    template <typename T>
    T* control(const char* name) const {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << "no control named " << name;
        return found;
    }
    QString status() const { return control<QLabel>("statusLabel")->text(); }
    QString summary() const { return control<QLabel>("summaryLabel")->text(); }

    // Writes a CSV source into the scratch folder and plans it as a text file.
    QString planCsv(const QByteArray& csv, const QString& name = QStringLiteral("edits.csv")) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(testfiles::write(path, csv));
        control<QComboBox>("kindCombo")->setCurrentIndex(static_cast<int>(SourceKind::TextFile));
        control<QLineEdit>("sourceEdit")->setText(path);
        control<QPushButton>("planButton")->click();
        return path;
    }
    // The lines of the plan as the table shows them, in its order: its columns joined by "|".
    QStringList shownPlan() const {
        const QAbstractItemModel* model = control<QTableView>("planView")->model();
        QStringList lines;
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model->columnCount(); ++column)
                cells << model->index(row, column).data().toString();
            lines << cells.join(QLatin1Char('|'));
        }
        return lines;
    }
    static QStringList valuesOf(const QString& path, const QString& handle) {
        return testfiles::attributeValuesOf(path, handle);
    }

    QTemporaryDir dir;
    QString cooling;
    QString boiler;
    QByteArray coolingBytes;
    QByteArray boilerBytes;
    fake::FakePlatform fakes;
    std::unique_ptr<UpdateWindow> window;
};
