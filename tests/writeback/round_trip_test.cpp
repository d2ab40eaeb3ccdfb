// SPDX-License-Identifier: GPL-3.0-or-later
// Records an extraction gave, sent to a text file (.txt and .csv), a workbook and a database
// table by the program's own senders, read back: the same values under the same names, and the
// layout the extraction's columns mean.

#include <QFileInfo>
#include <QLocale>

#include "engine/text_forms.h"
#include "output/sender_fixture.h"
#include "writeback/database_table.h"
#include "writeback/delimited_file.h"
#include "writeback/edit_columns.h"
#include "writeback/workbook_sheet.h"

namespace {

using output::Destination;
using writeback::EditLayout;

class PinnedLocale {
public:
    explicit PinnedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~PinnedLocale() { QLocale::setDefault(QLocale::c()); }
};

struct Drawing {
    const char* name;
    QStringList values;  // the extract file's fields, in its header's order
};

class RoundTripTest : public SenderTest {
protected:
    // The records of `drawings` as an extraction with `form` lists them, and the table they
    // should read back as: DRAWING_NAME (and TIMESTAMP) in front of the extracted fields.
    writeback::EditTable extract(const QStringList& fields, const std::vector<Drawing>& drawings,
                                 const RecordForm& form) {
        records = {};
        writeback::EditTable expected;
        expected.header = QStringList{"DRAWING_NAME"} +
                          (form.timestamp ? QStringList{"TIMESTAMP"} : QStringList{}) + fields;
        for (const Drawing& drawing : drawings) {
            const QString file = path(drawing.name);
            touch(drawing.name, "0\nEOF\n");
            DrawingRecords extracted{"'" + fields.join("','") + "'",
                                     {{"'" + drawing.values.join("','") + "'", {}}}};
            qint64 width = 0;
            records.records += recordsInListForm(extracted, file, drawing.name, form, &width);
            records.maxFields = std::max(records.maxFields, width);
            records.header = extracted.header;
            QStringList row{form.fullPath ? file : QString(drawing.name).toUpper()};
            if (form.timestamp) {
                row << textforms::generalDateTime(QFileInfo(file).lastModified());
            }
            expected.rows.push_back(row + drawing.values);
        }
        return expected;
    }

    // Sends the records to `destination` and reads them back from there.
    core::Result<writeback::EditTable> sendAndRead(Destination destination, const QString& name,
                                                   const QStringList& header) {
        auto request = to(destination, name);
        request.tags = true;
        request.form = m_form;
        if (destination == Destination::Database) {
            QStringList columns;
            for (const QString& column : header) {
                columns << "\"" + column + "\" " +
                               (column == "SHEET"   ? "INTEGER"
                                : column == "SCALE" ? "REAL"
                                                    : "TEXT");
            }
            QFile::remove(path(name));
            EXPECT_EQ(sqliteOutput(path(name), "CREATE TABLE Parts (" + columns.join(',') + ");"),
                      "");
            request.table = "Parts";
        }
        QFile::remove(path("Book1.xlsx"));
        const output::SendResult sent = send(request);
        EXPECT_TRUE(sent.ok) << sent.status.toStdString();
        switch (destination) {
            case Destination::Spreadsheet:
                return writeback::readWorkbookSheet(path("Book1.xlsx"), "sheet1");
            case Destination::Database:
                return writeback::readDatabaseTable(path(name), "parts");
            default:
                return writeback::readDelimitedFile(path(name));
        }
    }

    RecordForm m_form;
};

TEST_F(RoundTripTest, WhatEachDestinationWroteReadsBackAsSent) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const QStringList byReference = {"BLOCK_NAME", "BLOCK_HANDLE", "TITLE", "NOTE",
                                     "REV",        "SHEET",        "SCALE"};
    const QStringList byDrawing = {"BLOCK_SPACE", "TITLE", "REV"};
    const struct {
        const char* name;
        QLocale locale;  // numbers are read as the user writes them
        RecordForm form;
        QStringList fields;
        QString scale;  // a number with decimals, as the locale writes it
        EditLayout layout;
        int drawing, handle, space, blockName;
        std::vector<int> tags;
    } forms[] = {
        {"full path, timestamp and handle",
         QLocale::c(),
         {true, true, true, true, 2},
         byReference,
         "12.5",
         EditLayout::ByReference,
         0,
         3,
         -1,
         2,
         {4, 5, 6, 7, 8}},
        {"the same with a decimal comma",
         german,
         {true, true, true, true, 2},
         byReference,
         "12,5",
         EditLayout::ByReference,
         0,
         3,
         -1,
         2,
         {4, 5, 6, 7, 8}},
        {"a register: drawing names and space",
         QLocale::c(),
         {true, false, false, true, 2},
         byDrawing,
         "",
         EditLayout::ByDrawing,
         0,
         -1,
         1,
         -1,
         {2, 3}},
    };
    const struct {
        const char* name;
        Destination destination;
        const char* file;
    } destinations[] = {{"text file", Destination::TextFile, "parts.txt"},
                        {"CSV file", Destination::TextFile, "parts.csv"},
                        {"workbook", Destination::Spreadsheet, ""},
                        {"database", Destination::Database, "parts.db"}};
    for (const auto& f : forms) {
        const PinnedLocale pinned(f.locale);
        m_form = f.form;
        const bool reference = f.layout == EditLayout::ByReference;
        const auto expected =
            reference
                ? extract(
                      f.fields,
                      {{"A-101.dxf",
                        {"TITLE", "1F", QString::fromUtf8("Ø 図 \"quoted\", with comma"), "", "007",
                         "3", f.scale}},
                       {"B-202.dxf", {"TITLE", "100", " lead", "n'te _x0041_", "A", "10", "0"}}},
                      m_form)
                : extract(f.fields,
                          {{"A-101.dxf", {"PAPER", "Pump, ''P-1''", "B"}},
                           {"B-202.dxf", {"MODEL", "", "007"}}},
                          m_form);
        for (const auto& d : destinations) {
            SCOPED_TRACE(std::string(f.name) + ", " + d.name);
            const auto table = sendAndRead(d.destination, d.file, expected.header);
            ASSERT_TRUE(table.ok()) << table.error().description.toStdString();
            EXPECT_EQ(table.value().header, expected.header);
            EXPECT_EQ(table.value().rows, expected.rows);
            const auto columns = writeback::editColumns(table.value());
            ASSERT_TRUE(columns.ok()) << columns.error().description.toStdString();
            EXPECT_EQ(columns.value().layout, f.layout);
            EXPECT_EQ(columns.value().drawing, f.drawing);
            EXPECT_EQ(columns.value().handle, f.handle);
            EXPECT_EQ(columns.value().space, f.space);
            EXPECT_EQ(columns.value().blockName, f.blockName);
            EXPECT_EQ(columns.value().tags, f.tags);
        }
    }
}

}  // namespace
