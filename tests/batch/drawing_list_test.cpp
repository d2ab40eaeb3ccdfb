// SPDX-License-Identifier: GPL-3.0-or-later
// Real list files over real drawing files in a scratch folder tree, through the window.

#include "drawing/drawing_file_reader.h"
#include "mainwindow/main_window_fixture.h"

namespace {

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");
const QString kAutocad = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad");

class DrawingListTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        proj = makeFolder("proj");
        makeFolder("proj/sub");
        makeFolder("proj/sub/deeper");
        makeFolder("tpl");
        out = makeFolder("out");
        // DXF drawings under .dwg names: drawings are recognised by their content.
        copy("cooling-water.dxf", proj + "/A-101.dwg");
        copy("tank-farm.dxf", proj + "/E-1.dwg");
        copy("boiler-feed.dxf", proj + "/sub/E-2.dwg");
        copy("cooling-water.dxf", proj + "/sub/deeper/E-3.dwg");
        copy("tank-farm.dxf", proj + "/E-9.dxf");
        touch(appDir.filePath("tpl/Title.txt"), testfiles::read(kExamples + "/titleblock.txt"));
        touch(appDir.filePath("tpl/bad.txt"), "*INPUT\r\n");
        load();
        window->readerFactory = drawing::drawingFileReaderFactory();
        window->endProgram = [this] { ++ended; };
    }
    void copy(const QString& example, const QString& target) {
        ASSERT_TRUE(QFile::copy(kExamples + "/" + example, target));
    }
    QString tpl() const { return appDir.filePath("tpl/title.txt"); }  // written in another case
    QStringList names() const {
        QStringList first;
        for (const QString& item : items(window->records)) first << item.section(',', 0, 0);
        return first;
    }
    QByteArray errLog() const { return testfiles::read(appDir.filePath("err.log")); }

    QString proj;
    QString out;
    int ended = 0;
};

TEST_F(DrawingListTest, HeaderDrawingsSendsAndEnd) {
    runListFile(
        "' weekly title block run\r\n"
        "\r\n"
        "DWGNAME\r\n" +
        (proj + "/a-101.dwg," + tpl()).toUtf8() + "\r\n" + "EXTRACT TO FILE " +
        (out + "/Titles.csv").toUtf8() + ",,TAGS\r\n" + "END\r\n" +
        (proj + "/E-1.dwg," + tpl()).toUtf8() + "\r\n");
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(names(), QStringList{"'A-101.DWG'"});
    const QByteArray csv = testfiles::read(out + "/Titles.csv");
    EXPECT_TRUE(csv.startsWith("\"DRAWING_NAME\",\"BLOCK_NAME\",\"BLOCK_HANDLE\",\"DWGNO\""))
        << csv.toStdString();
    EXPECT_TRUE(csv.contains("\"A-101.DWG\",\"TITLE\",")) << csv.toStdString();
    EXPECT_EQ(fakes.settings.writes, 0) << "END leaves the settings unstored";
}

TEST_F(DrawingListTest, FirstSignificantLineIsTheHeaderEvenWhenItIsADrawing) {
    setCheckValue(window->fullPathCheck, 1);
    runListFile((proj + "/A-101.dwg," + tpl()).toUtf8() + "\r\n" +
                (proj + "/E-1.dwg," + tpl()).toUtf8() + "\r\n");
    EXPECT_EQ(names(), QStringList{"'" + proj + "/E-1.dwg" + "'"})
        << "the first drawing is lost; Use Full Path kept its state";
    EXPECT_TRUE(window->statusLabel->text().startsWith("Attributes from 1 file(s) extracted in "));
    EXPECT_TRUE(window->clearRecordsButton->isEnabled());
    EXPECT_EQ(window->selectedRecordCount(), 1) << "batch items stay selected";
}

TEST_F(DrawingListTest, NoDrawingNameKeepsTheOtherOptionsAndTwoSendsSendTwice) {
    // (Unchecking "Include Drawing Name" itself clears the two options it governs.)
    setCheckValue(window->includeDrawingNameCheck, 0);
    setCheckValue(window->timestampCheck, 1);
    runListFile(
        "NODWGNAME\r\n"
        "EXTRACT TO FILE " +
        (out + "/early.txt").toUtf8() + "\r\n" + (proj + "/A-101.dwg," + tpl()).toUtf8() + "\r\n" +
        "EXTRACT TO FILE " + (out + "/twice.txt").toUtf8() + ",APPEND\r\n" + "EXTRACT TO FILE " +
        (out + "/twice.txt").toUtf8() + ", APPEND\r\n");
    EXPECT_EQ(checkValue(window->includeDrawingNameCheck), 0);
    EXPECT_EQ(checkValue(window->timestampCheck), 1);
    EXPECT_FALSE(QFile::exists(out + "/early.txt")) << "a send before any item does nothing";
    const QByteArray twice = testfiles::read(out + "/twice.txt");
    EXPECT_EQ(twice.count("\r\n"), 1) << "the second line (blank before APPEND) replaced the file";
    EXPECT_EQ(checkValue(window->textAppendCheck), 0);
    EXPECT_EQ(checkValue(window->includeTagsCheck), 0);
}

TEST_F(DrawingListTest, WildcardLinesExtractTheDwgFilesTheyMatch) {
    const struct {
        const char* pattern;
        QStringList names;
    } cases[] = {
        // No extension: the folder's own files first, then each subfolder; E-9.dxf is no .dwg.
        {"/e*", {"'E-1.DWG'", "'E-2.DWG'", "'E-2.DWG'", "'E-3.DWG'"}},
        // Another extension: the .dwg files of that folder only.
        {"/E*.BAK", {"'E-1.DWG'"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        window->records->clear();
        runListFile("DWGNAME\r\n" + proj + c.pattern + "," + tpl() + "\r\n");
        EXPECT_EQ(names(), c.names);
    }
    EXPECT_EQ(errLog(), "");
}

TEST_F(DrawingListTest, WildcardOverDwgFilesOfEveryReleaseSendsEveryRecord) {
    const QString folder = makeFolder("autocad");
    const QStringList releases = {"2000", "2004", "2007", "2010", "2013", "2018"};
    for (const QString& release : releases) {
        const QString name = "example_" + release + ".dwg";
        ASSERT_TRUE(QFile::copy(kAutocad + "/" + name, folder + "/" + name));
    }
    touch(appDir.filePath("tpl/bloko.txt"),
          "*INPUT\r\nBLOCK: bloko\r\n*OUTPUT\r\nBLOCK_HANDLE\r\n*ATTRIBUTE_TAGS\r\nETIKEDO\r\n");
    runListFile("DWGNAME\r\n" +
                (folder + "/example_*," + appDir.filePath("tpl/bloko.txt")).toUtf8() +
                "\r\nEXTRACT TO FILE " + (out + "/bloko.csv").toUtf8() + "\r\n");
    EXPECT_EQ(errLog(), "");
    QByteArray expected;
    for (const QString& release : releases) {
        const QByteArray name = "\"EXAMPLE_" + release.toUtf8() + ".DWG\"";
        expected += name + ",\"190\",\"valoro de la teksto en bloko\"\r\n" + name +
                    ",\"756\",\"valoro\"\r\n";
    }
    EXPECT_EQ(testfiles::read(out + "/bloko.csv"), expected);
}

TEST_F(DrawingListTest, FailuresGoToTheStatusLineAndTheLog) {
    runListFile("DWGNAME\r\n" + (proj + "/missing.dwg," + tpl()).toUtf8() + "\r\n" +
                (proj + "/A-101.dwg," + appDir.filePath("tpl/bad.txt")).toUtf8() + "\r\n");
    EXPECT_EQ(window->statusLabel->text(), "No attributes extracted.");
    const QList<QByteArray> lines = errLog().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].endsWith("  Template: " + tpl().toUtf8().replace("title", "Title") +
                                  "  Drawing: " + (proj + "/missing.dwg").toUtf8() +
                                  "  Error: DWG file not found.\r"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith("  Error: Template file requires '*OUTPUT'.\r"));
}

TEST_F(DrawingListTest, ExcelSendLineSetsRowAndColumnOnlyWithASheet) {
    window->rowEdit->setText("9");
    runListFile("DWGNAME\r\n" + (proj + "/A-101.dwg," + tpl()).toUtf8() + "\r\n" +
                "EXTRACT TO EXCEL /out/a.xlsx,,3,2\r\n");
    EXPECT_EQ(window->rowEdit->text(), "9") << "no sheet: row and column unchanged";
    window->transposeCheck->setChecked(true);
    runListFile("DWGNAME\r\n" + (proj + "/A-101.dwg," + tpl()).toUtf8() + "\r\n" +
                "EXTRACT TO EXCEL /out/a.xlsx,SHEET1,3,2\r\n");
    EXPECT_EQ(window->rowEdit->text(), "3");
    EXPECT_EQ(window->columnEdit->text(), "2");
    EXPECT_FALSE(window->transposeCheck->isChecked());
    EXPECT_FALSE(window->fitColumnsCheck->isChecked());
    EXPECT_TRUE(window->m_workbook.isEmpty()) << "the send targets are given back";
}

TEST_F(DrawingListTest, OpenDialogWhenNoCommandLine) {
    fakes.dialogs.answerOpenFile({});
    window->runDrawingListFile();
    ASSERT_EQ(fakes.dialogs.shown().size(), 1u);
    const auto& request = fakes.dialogs.shown()[0].file;
    EXPECT_EQ(request.caption, "Open Drawing List File");
    EXPECT_EQ(request.filter, "DLF Files (*.dlf)|*.dlf|All Files (*.*)|*.*");
    EXPECT_EQ(request.folder, appDir.path());
}

}  // namespace
