// The window over the real drawing reader: drawings on disk, the program folder a scratch one.

#include <QFileInfo>

#include "drawing/reader_application.h"
#include "form1_fixture.h"

namespace {

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

class WindowExtraction : public Form1Test {
protected:
    void SetUp() override {
        Form1Test::SetUp();
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
        load();
        window->drawingApplication = drawing::readerApplicationFactory();
    }
    void choose(const QString& templateName) {
        Form1& w = *window;
        w.Command13_Click();
        for (int i = 0; i < w.List1->count(); ++i) {
            w.List1->item(i)->setSelected(w.List1->item(i)->text() == templateName);
        }
        w.List1_Click();
    }
    QByteArray errLog() const { return testfiles::read(appDir.filePath("err.log")); }

    QString drawings;
    QString templates;
};

TEST_F(WindowExtraction, RecordsInEveryFormAndFailuresInTheLog) {
    Form1& w = *window;
    QFile::remove(drawings + "/gone.dxf");
    choose("title.txt");
    w.Command15_Click();
    ASSERT_EQ(w.records->count(), 2);
    EXPECT_TRUE(w.records->record(0).startsWith("'COOLING-WATER.DXF','TITLE','"));
    EXPECT_TRUE(w.records->record(1).endsWith("'PID-2001','Tank farm transfer','B'"));
    EXPECT_TRUE(w.Label4->text().startsWith("Attributes from 2 file(s) extracted in "));
    const QByteArray log = errLog();
    EXPECT_EQ(log.count("\r\n"), 2) << log.toStdString();
    EXPECT_TRUE(log.contains("  Drawing: " + (drawings + "/broken.dxf").toUtf8() +
                             "  Error: Error opening file BROKEN.DXF. (not a drawing file: the "
                             "content is neither DXF nor DWG)\r\n"))
        << "the reader's reason follows the message";
    EXPECT_TRUE(log.contains("  Error: File GONE.DXF not found.\r\n"));

    w.Option2->setChecked(true);
    w.Text4->setText("3");
    w.Check5->setChecked(true);
    w.Check6->setChecked(true);
    choose("title.txt");
    w.Command15_Click();
    ASSERT_EQ(w.records->count(), 4) << "the second run adds behind the first";
    const QString sdf = w.records->record(3);
    EXPECT_TRUE(sdf.startsWith((drawings + "/tank-farm.dxf").toUpper() + "   "))
        << sdf.toStdString();
    EXPECT_TRUE(sdf.endsWith("   PID-2001   Tank farm transfer   B")) << sdf.toStdString();
}

TEST_F(WindowExtraction, RejectedTemplateIsLoggedAndReported) {
    Form1& w = *window;
    choose("bad.txt");
    w.Command15_Click();
    EXPECT_EQ(w.records->count(), 0);
    EXPECT_EQ(w.Label4->text(),
              "No attributes extracted. Template file requires '*ATTRIBUTE_TAGS'.");
    EXPECT_TRUE(errLog().endsWith("  Template: " + (templates + "/bad.txt").toUtf8() +
                                  "  Error: Template file requires '*ATTRIBUTE_TAGS'.\r\n"));
}

}  // namespace
