// SPDX-License-Identifier: GPL-3.0-or-later
// Files the drawing list and the extraction meet on disk: list files that cannot be read,
// drawings the reader refuses, and drives that cannot be read.

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "drawing/drawing_file_reader.h"
#include "mainwindow/main_window_fixture.h"
#include "support/named_pipe.h"

namespace {

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");
const QString kAutocad = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad");

class BatchFilesTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        proj = makeFolder("proj");
        makeFolder("proj/sub");
        ASSERT_TRUE(QFile::copy(kExamples + "/cooling-water.dxf", proj + "/E-1.dwg"));
        ASSERT_TRUE(QFile::copy(kExamples + "/tank-farm.dxf", proj + "/sub/E-2.dwg"));
        touch(tpl(), testfiles::read(kExamples + "/titleblock.txt"));
        load();
        window->readerFactory = drawing::drawingFileReaderFactory();
    }
    QString tpl() const { return appDir.filePath("title.txt"); }
    void runList(const QString& path) {
        window->m_commandLine = path;
        window->runDrawingListFile();
    }
    QStringList names() const {
        QStringList first;
        for (const QString& item : window->records->texts()) first << item.section(',', 0, 0);
        return first;
    }
    // A copy of a drawing cut after `bytes` bytes.
    QString truncatedCopy(const QString& source, const QString& target, qint64 bytes) {
        QByteArray content = testfiles::read(source);
        content.truncate(bytes);
        touch(target, content);
        return target;
    }

    QString proj;
};

TEST_F(BatchFilesTest, ListFileThatCannotBeReadSaysSoAndLeavesNothingPending) {
    touch(appDir.filePath("locked.dlf"), "DWGNAME\r\n");
    const QString folder = makeFolder("folder.dlf");
    // A list opens with a double-click: it may name a device or a pipe, or be a huge file.
    const NamedPipe pipe(appDir.filePath("pipe.dlf"));
    ASSERT_TRUE(pipe.isValid());
    QByteArray huge = "DWGNAME\r\n" + (proj + "/E-1.dwg," + tpl()).toUtf8() + "\r\n";
    huge += QByteArray(16 * 1024 * 1024 + 1 - huge.size(), '\'');
    touch(appDir.filePath("huge.dlf"), huge);
    QString deep = appDir.path();
    while (deep.size() < 5000) deep += "/a";
    struct Case {
        QString path;
        const char* reason;
    };
    std::vector<Case> cases = {
        {folder, "directory"},
        {appDir.filePath("pipe.dlf"), "not a regular file but a named pipe"},
        {"/dev/null", "not a regular file but a device"},
        {appDir.filePath("huge.dlf"), "larger than 16 MB, the most a drawing list may have"},
        {deep + "/run.dlf", "the path is longer than the system allows: 50"},
    };
    if (::geteuid() != 0) {  // the administrator reads everything
        ASSERT_EQ(::chmod(QFile::encodeName(appDir.filePath("locked.dlf")).constData(), 0), 0);
        cases.push_back({appDir.filePath("locked.dlf"), "ermission"});
    }
    // A good run first: its records must survive the failed ones.
    touch(appDir.filePath("good.dlf"), ("DWGNAME\r\n" + proj + "/E-1.dwg," + tpl()).toUtf8());
    runList(appDir.filePath("good.dlf"));
    const QStringList before = window->records->texts();
    ASSERT_EQ(before.size(), 1);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const int beeps = fakes.ui.beeps;
        runList(c.path);
        const QString status = window->statusLabel->text();
        EXPECT_TRUE(status.startsWith("Cannot read the drawing list file " + c.path + ": "))
            << status.toStdString();
        EXPECT_TRUE(status.contains(c.reason)) << status.toStdString();
        EXPECT_TRUE(status.endsWith('.'));
        EXPECT_EQ(fakes.ui.beeps, beeps + 1);
        EXPECT_EQ(window->records->texts(), before);
        EXPECT_EQ(fakes.ui.hourglassDepth, 0);
        EXPECT_TRUE(window->m_commandLine.isEmpty());

        // The next click asks for a list instead of running the bad one again.
        fakes.dialogs.answerOpenFile({});
        const std::size_t boxes = fakes.dialogs.shown().size();
        window->runDrawingListFile();
        EXPECT_EQ(fakes.dialogs.shown().size(), boxes + 1);
        EXPECT_EQ(window->statusLabel->text(), status);
    }

    // One chosen in the dialog and gone before it is read.
    fakes.dialogs.answerOpenFile(appDir.filePath("gone.dlf"));
    window->runDrawingListFile();
    EXPECT_TRUE(window->statusLabel->text().startsWith("Cannot read the drawing list file " +
                                                       appDir.filePath("gone.dlf") + ": "))
        << window->statusLabel->text().toStdString();
}

TEST_F(BatchFilesTest, RefusedDrawingsSayWhyOnTheStatusLineAndInTheLog) {
    touch(proj + "/notes.dwg", "These are meeting notes, not a drawing.\r\n");
    truncatedCopy(kAutocad + "/example_2018.dwg", proj + "/cut.dwg", 6000);
    touch(proj + "/old.dwg", QByteArray("AC1002") + QByteArray(200, '\0'));
    runListFile("DWGNAME\r\n" + proj + "/notes.dwg," + tpl() + "\r\n" + proj + "/cut.dwg," + tpl() +
                "\r\n" + proj + "/old.dwg," + tpl() + "\r\n");
    const QList<QByteArray> lines = testfiles::read(appDir.filePath("err.log")).split('\n');
    ASSERT_EQ(lines.size(), 4) << testfiles::read(appDir.filePath("err.log")).toStdString();
    const char* reasons[] = {"not a drawing file", "truncated", "AC1002"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QByteArray error = lines[i].mid(lines[i].indexOf("  Error: ") + 9);
        EXPECT_TRUE(error.startsWith("Error opening DWG file. (")) << error.toStdString();
        EXPECT_TRUE(error.endsWith(")\r")) << error.toStdString();
        EXPECT_TRUE(error.contains(reasons[i])) << error.toStdString();
    }
    EXPECT_EQ(window->statusLabel->text(), "No attributes extracted.");
}

TEST_F(BatchFilesTest, FolderScanGoesOnPastARefusedDrawing) {
    touch(proj + "/sub/E-3.dwg", "not a drawing\r\n");
    runListFile("DWGNAME\r\n" + proj + "/sub/E*," + tpl());
    EXPECT_EQ(names(), QStringList{"'E-2.DWG'"});
}

TEST_F(BatchFilesTest, DriveThatCannotBeReadSaysWhichAndWhy) {
    const QString locked = makeFolder("locked");
    std::vector<std::pair<QString, QString>> cases = {
        {"/no/such/root", "Cannot read /no/such/root: it is no longer mounted."}};
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
        cases.push_back({locked, "Cannot read " + locked + ": permission denied."});
    }
    for (const auto& [root, text] : cases) {
        const std::size_t boxes = fakes.dialogs.messages().size();
        window->drawingDriveList->addItem(root, root);
        const int index = window->drawingDriveList->count() - 1;
        window->drawingDriveList->setCurrentIndex(index);
        emit window->drawingDriveList->activated(index);
        ASSERT_EQ(fakes.dialogs.messages().size(), boxes + 1);
        EXPECT_EQ(fakes.dialogs.messages().back().text, text);
        EXPECT_EQ(fakes.dialogs.messages().back().caption, "Quillon");
        EXPECT_EQ(window->drawingDriveList->currentIndex(), 0) << "back on the first drive";
    }
    ::chmod(QFile::encodeName(locked).constData(), 0700);
}

}  // namespace
