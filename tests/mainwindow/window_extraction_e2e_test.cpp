// SPDX-License-Identifier: GPL-3.0-or-later
// The window over the real drawing reader: drawings on disk, the program folder a scratch one.

#include <QFileInfo>

#include "drawing/drawing_file_reader.h"
#include "main_window_fixture.h"

namespace {

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

class WindowExtraction : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        drawings = makeFolder("Drawings");
        templates = makeFolder("templates");
        for (const char* name : {"cooling-water.dxf", "tank-farm.dxf"}) {
            ASSERT_TRUE(QFile::copy(kExamples + "/" + name, drawings + "/" + name));
        }
        // A file that is no drawing at all, and one listed but removed before the run.
        touch(drawings + "/broken.dxf", "this is not a drawing");
        touch(drawings + "/gone.dxf", "");
        touch(templates + "/title.txt", testfiles::read(kExamples + "/titleblock.txt"));
        touch(templates + "/bad.txt", "*INPUT\r\n*OUTPUT\r\n");
        setOption("Dir", drawings);
        setOption("Dir3", templates);
        setOption("FExt", "*.dxf");
        readerFactory = drawing::drawingFileReaderFactory();
        extractionJobs = 3;  // as on the desktop: the records in list order all the same
        load();
    }
    void choose(const QString& templateName) {
        MainWindow& w = *window;
        w.selectAllDrawings();
        for (int i = 0; i < ui.templateList->count(); ++i) {
            ui.templateList->item(i)->setSelected(ui.templateList->item(i)->text() == templateName);
        }
        w.templateClicked();
    }
    QByteArray errLog() const { return testfiles::read(appDir.filePath("err.log")); }

    QString drawings;
    QString templates;
};

TEST_F(WindowExtraction, RecordsInEveryFormAndFailuresInTheLog) {
    MainWindow& w = *window;
    QFile::remove(drawings + "/gone.dxf");
    choose("title.txt");
    w.extractAttributes();
    ASSERT_EQ(ui.records->count(), 2);
    EXPECT_TRUE(ui.records->record(0).startsWith("'COOLING-WATER.DXF','TITLE','"));
    EXPECT_TRUE(ui.records->record(1).endsWith("'PID-2001','Tank farm transfer','B'"));
    EXPECT_TRUE(ui.statusLabel->text().startsWith("Attributes from 2 file(s) extracted in "));
    const QByteArray log = errLog();
    EXPECT_EQ(log.count("\r\n"), 2) << log.toStdString();
    EXPECT_TRUE(log.contains("  Drawing: " + (drawings + "/broken.dxf").toUtf8() +
                             "  Error: Error opening file BROKEN.DXF. (not a drawing file: the "
                             "content is neither DXF nor DWG)\r\n"))
        << "the reader's reason follows the message";
    EXPECT_TRUE(log.contains("  Error: File GONE.DXF not found.\r\n"));

    ui.sdfOption->setChecked(true);
    ui.fieldSpacesEdit->setText("3");
    ui.fullPathCheck->setChecked(true);
    ui.timestampCheck->setChecked(true);
    choose("title.txt");
    w.extractAttributes();
    ASSERT_EQ(ui.records->count(), 4) << "the second run adds behind the first";
    const QString sdf = ui.records->record(3);
    EXPECT_TRUE(sdf.startsWith(drawings + "/tank-farm.dxf" + "   ")) << sdf.toStdString();
    EXPECT_TRUE(sdf.endsWith("   PID-2001   Tank farm transfer   B")) << sdf.toStdString();
}

TEST_F(WindowExtraction, RejectedTemplateIsLoggedAndReported) {
    MainWindow& w = *window;
    choose("bad.txt");
    w.extractAttributes();
    EXPECT_EQ(ui.records->count(), 0);
    EXPECT_EQ(ui.statusLabel->text(),
              "No attributes extracted. Template file requires '*ATTRIBUTE_TAGS'.");
    EXPECT_TRUE(errLog().endsWith("  Template: " + (templates + "/bad.txt").toUtf8() +
                                  "  Error: Template file requires '*ATTRIBUTE_TAGS'.\r\n"));
}

}  // namespace
