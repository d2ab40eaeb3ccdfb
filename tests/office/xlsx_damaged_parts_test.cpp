// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>

#include "office/ooxml_package.h"
#include "office/xlsx_spreadsheet.h"
#include "office/xlsx_template.h"
#include "platform/scratch_folder.h"

namespace {

using namespace office::xlsx;

// A sheet with a bit of everything the writer looks at.
const char kSheet[] =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<dimension ref="A1:E5"/><cols><col min="1" max="4" width="12" style="1"/></cols>)"
    R"(<sheetData><row r="1" spans="1:5"><c r="A1" s="1"><v>1</v></c><c r="C1" t="s"><v>0</v></c>)"
    R"(<c r="E1"><f t="shared" ref="E1:E3" si="0">A1+1</f><v>2</v></c></row>)"
    R"(<row r="2"><c r="B2" t="inlineStr"><is><t xml:space="preserve"> x </t></is></c>)"
    R"(<c r="E2"><f t="shared" si="0"/></c></row><row><c><v>3</v></c><c r="E3"><f t="shared" si="0"/></c></row>)"
    R"(<row r="5"><c r="D5" t="str"><f>"a"&amp;B2</f><v>a x </v></c></row></sheetData></worksheet>)";

// Cut and scrambled copies of a sheet open, write and fit without reading out of bounds:
// each either works or reports an error, and the file on disk stays a workbook.
TEST(XlsxDamagedParts, CutOrScrambledSheetsAreWrittenOrRefusedNeverCrash) {
    ScratchFolder folder;
    const QByteArray sheet(kSheet);
    std::mt19937 random(20261206);
    const auto excel = office::startXlsxSpreadsheet(folder.path()).value();
    for (int round = 0; round < 300; ++round) {
        QByteArray damaged = sheet;
        if (round < 150) {
            damaged.truncate(
                static_cast<qsizetype>(random() % static_cast<std::size_t>(sheet.size())));
        } else {
            for (int flips = 0; flips < 4; ++flips) {
                const auto at =
                    static_cast<qsizetype>(random() % static_cast<std::size_t>(damaged.size()));
                static const char kReplacements[] = "<>/\"=0123456789:$ArcvsfAZ\x01\xff";
                damaged[at] = kReplacements[random() % (sizeof kReplacements - 1)];
            }
        }
        Package package = newWorkbookPackage();
        package.setPart("xl/worksheets/sheet1.xml", damaged);
        const QString path =
            folder.writeFile(QStringLiteral("damaged%1.xlsx").arg(round), package.zipped().value());
        auto book = excel->OpenWorkbook(path);
        ASSERT_TRUE(book.ok()) << "the sheet is read when first written";
        const auto written = book.value()->WriteRange(2, 2, {{"new", "1"}, {"", "=x"}});
        const auto fitted = book.value()->AutoFitColumns(1, 1, 5, 5);
        EXPECT_EQ(written.ok(), fitted.ok()) << round;
        if (written.ok()) {
            EXPECT_TRUE(Package::read(path, office::xlsx::workbookFile()).ok()) << round;
        }
        book.value()->Close();
    }
}

}  // namespace
