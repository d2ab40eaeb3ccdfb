// SPDX-License-Identifier: GPL-3.0-or-later
// Real list files over real drawing files in a scratch folder tree, through the window.

#include <QStringEncoder>

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
        copy("tank-farm.dxf", proj + "/sub/E-8.DXF");
        touch(appDir.filePath("tpl/Title.txt"), testfiles::read(kExamples + "/titleblock.txt"));
        touch(appDir.filePath("tpl/bad.txt"), "*INPUT\r\n");
        load();
        window->readerFactory = drawing::drawingFileReaderFactory();
        window->endProgram = [this](int status) {
            ++ended;
            exitStatus = status;
        };
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
    int exitStatus = -1;
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
    EXPECT_EQ(exitStatus, 0);
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
    EXPECT_EQ(checkValue(window->includeDrawingNameCheck), CheckValue::Unchecked);
    EXPECT_EQ(checkValue(window->timestampCheck), CheckValue::Checked);
    EXPECT_FALSE(QFile::exists(out + "/early.txt")) << "a send before any item does nothing";
    const QByteArray twice = testfiles::read(out + "/twice.txt");
    EXPECT_EQ(twice.count("\r\n"), 1) << "the second line (blank before APPEND) replaced the file";
    EXPECT_EQ(checkValue(window->textAppendCheck), CheckValue::Unchecked);
    EXPECT_EQ(checkValue(window->includeTagsCheck), CheckValue::Unchecked);
}

TEST_F(DrawingListTest, WildcardLinesExtractTheDwgFilesTheyMatch) {
    const struct {
        const char* pattern;
        QStringList names;
    } cases[] = {
        // No extension: the folder's own files first, then each subfolder; no DXF file.
        {"/e*", {"'E-1.DWG'", "'E-2.DWG'", "'E-2.DWG'", "'E-3.DWG'"}},
        // Another extension: the .dwg files of that folder only.
        {"/E*.BAK", {"'E-1.DWG'"}},
        {"/E*.dxfx", {"'E-1.DWG'"}},
        // A dxf extension, in any letter case, stays: the DXF files of that folder only.
        {"/E*.dxf", {"'E-9.DXF'"}},
        {"/e?9.Dxf", {"'E-9.DXF'"}},
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

// A script that runs a list learns from the exit status whether every line went through, and
// err.log says which did not; a list chosen in the window ends as it always did.
TEST_F(DrawingListTest, FailedSendLinesAreLoggedAndAListFromTheCommandLineEndsWithFailure) {
    const QByteArray drawing = (proj + "/A-101.dwg," + tpl()).toUtf8() + "\r\n";
    const QByteArray missing = (proj + "/missing.dwg," + tpl()).toUtf8() + "\r\n";
    const QByteArray sent = "EXTRACT TO FILE " + (out + "/sent.csv").toUtf8() + "\r\n";
    const QByteArray noFolder = "EXTRACT TO FILE " + (out + "/gone/lost.csv").toUtf8() + "\r\n";
    const QByteArray noDestination = "EXTRACT TO PRINTER\r\n";
    const QString notSaved = "  Send: EXTRACT TO FILE " + out + "/gone/lost.csv  Error: File " +
                             out + "/gone/lost.csv not saved: ";
    const QString noneNamed =
        "  Send: EXTRACT TO PRINTER  Error: The send line names no destination: TO FILE, TO "
        "CLIPBOARD, TO WORD, TO EXCEL or TO ACCESS.";
    const QString notFound = "  Drawing: " + proj + "/missing.dwg  Error: DWG file not found.";
    const struct {
        const char* name;
        QByteArray list;
        bool fromCommandLine;
        int status;
        QStringList logged;
    } cases[] = {
        {"every line went through", drawing + sent + "END\r\n", true, 0, {}},
        {"a send failed", drawing + noFolder + sent + "END\r\n", true, 1, {notSaved}},
        {"no destination", drawing + sent + noDestination + "END\r\n", true, 1, {noneNamed}},
        {"a drawing failed", missing + drawing + sent + "END\r\n", true, 1, {notFound}},
        {"chosen in the window",
         drawing + noFolder + noDestination + sent + "END\r\n",
         false,
         0,
         {notSaved, noneNamed}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ended = 0;
        exitStatus = -1;
        QFile::remove(out + "/sent.csv");
        const QString path = appDir.filePath("run.dlf");
        touch(path, "DWGNAME\r\n" + c.list);
        if (c.fromCommandLine) {
            window->m_commandLine = path;
        } else {
            window->m_commandLine.clear();
            fakes.dialogs.answerOpenFile(path);
        }
        window->runDrawingListFile();
        EXPECT_EQ(ended, 1);
        EXPECT_EQ(exitStatus, c.status);
        EXPECT_TRUE(QFile::exists(out + "/sent.csv")) << "the run went on past the failure";
        const QStringList lines = QString::fromUtf8(errLog()).split("\r\n", Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), c.logged.size()) << errLog().toStdString();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            EXPECT_TRUE(lines[i].contains(c.logged[i])) << lines[i].toStdString();
        }
    }
}

// A list saved as "Unicode" by a Windows editor is read as the text it is, to its END.
TEST_F(DrawingListTest, UnicodeListFilesAreReadToTheirEnd) {
    const QString text = "DWGNAME\r\n" + proj + "/A-101.dwg," + tpl() + "\r\nEXTRACT TO FILE " +
                         out + "/unicode.csv\r\nEND\r\n";
    const struct {
        const char* name;
        QStringConverter::Encoding encoding;
        QByteArray mark;
    } cases[] = {{"UTF-16LE", QStringConverter::Utf16LE, "\xFF\xFE"},
                 {"UTF-16BE", QStringConverter::Utf16BE, "\xFE\xFF"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ended = 0;
        window->records->clear();
        QFile::remove(out + "/unicode.csv");
        const QString path = appDir.filePath("unicode.dlf");
        touch(path, c.mark + QStringEncoder(c.encoding).encode(text));
        window->m_commandLine = path;
        window->runDrawingListFile();
        EXPECT_EQ(ended, 1) << window->statusLabel->text().toStdString();
        EXPECT_EQ(names(), QStringList{"'A-101.DWG'"});
        EXPECT_TRUE(QFile::exists(out + "/unicode.csv"));
    }
}

// A crafted path of a few hundred thousand characters is refused at once, saying why, and the
// list goes on.
TEST_F(DrawingListTest, PathsLongerThanTheSystemAllowsAreRefusedAndTheListGoesOn) {
    QString deep = proj;
    while (deep.size() < 300000) deep += "/a";
    runListFile("DWGNAME\r\n" + deep + "/A-101.dwg," + tpl() + "\r\n" + proj + "/A-101.dwg," +
                deep + "/title.txt\r\n" + proj + "/A-101.dwg," + tpl() + "\r\n");
    EXPECT_EQ(names(), QStringList{"'A-101.DWG'"});
    const QStringList lines = QString::fromUtf8(errLog()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains(
        "A-101.dwg  Error: DWG file not found. (the path is longer than the system allows: "))
        << lines[0].right(200).toStdString();
    EXPECT_TRUE(lines[1].contains("/title.txt'. (the path is longer than the system allows: "))
        << lines[1].right(200).toStdString();
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
