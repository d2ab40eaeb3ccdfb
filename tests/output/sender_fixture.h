// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The destination sender over fake platform services, sending into a scratch folder with the
// office components the program runs with (workbook, database and document files), or with the
// office doubles where a program must behave otherwise.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "office/docx_word_processor.h"
#include "office/office_files.h"
#include "office/sqlite_database.h"
#include "office/xlsx_spreadsheet.h"
#include "output/destination_sender.h"
#include "support/files.h"
#include "support/gui/fake_platform.h"
#include "support/office_doubles.h"
#include "support/qt_printers.h"

// The desktop's components: no program is running, each send starts its own.
inline office::Office desktopOffice() {
    office::Office office = office::unavailableOffice();
    office.openDatabase = office::openSqliteDatabase;
    office.startSpreadsheet = office::startXlsxSpreadsheet;
    office.startWordProcessor = office::startDocxWordProcessor;
    return office;
}

class SenderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scratch.isValid()); }
    // However a send ends, the pointer is back.
    void TearDown() override { EXPECT_EQ(fakes.ui.hourglassDepth, 0); }

    output::SendResult send(const output::SendRequest& request) {
        output::DestinationSender sender(
            {fakes.dialogs, fakes.ui, fakes.shell, fakes.clipboard, office});
        return sender.send(request, records);
    }
    // A request to `destination` and the file `name` of the scratch folder (none: no file
    // named), where new workbooks and documents are made too; records without drawing names.
    output::SendRequest to(output::Destination destination, const QString& name = {}) const {
        output::SendRequest request;
        request.destination = destination;
        request.file = name.isEmpty() ? QString() : path(name);
        request.newFileFolder = out;
        request.form.includeDrawingName = false;
        return request;
    }
    QString path(const QString& name) const { return out + QLatin1Char('/') + name; }
    void touch(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(testfiles::write(path(name), bytes));
    }
    std::vector<fake::RecordingShell::Call> opened(const QString& file) const {
        return {{fake::RecordingShell::Call::Kind::Document, file}};
    }
    void forgetWhatWasShown() {
        fakes.dialogs.clearShown();
        fakes.shell.calls.clear();
        fakes.ui.beeps = 0;
    }

    QTemporaryDir scratch;
    const QString out = scratch.path();
    fake::FakePlatform fakes;
    office::Office office = desktopOffice();
    output::SendRecords records{{"'A','1'", "'B','2'"}, "'TAG','VAL'", 3};
};
