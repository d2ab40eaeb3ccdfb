// SPDX-License-Identifier: GPL-3.0-or-later
// The attribute page of real drawings through the real reader: a DWG and its DXF twin give the
// same page, and the page, loaded in a real browser, shows one row per attribute with every
// value as text.

#include "engine/attribute_page.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include "drawing/drawing_file_reader.h"
#include "support/fake_clock.h"
#include "support/files.h"
#include "support/qt_printers.h"

namespace {

const QString kAutocad = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad");
const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

class QuietPageUi : public ExtractionRunUi {
public:
    void processPendingEvents() override {}
    void showError(const QString&, const QString&) override {}
    void setStatus(const QString&) override {}
    void setBusy(bool) override {}
};

class RealDrawingPage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // The page of `folder`/`name`, with the drawing's path in the heading and title put as
    // PATH so pages of different files compare.
    QByteArray pageOf(const QString& folder, const QString& name, AttributePageResult* out = {}) {
        const QString page = dir.filePath("attr.htm");
        const AttributePageResult result = writeAttributePage(
            {folder, name, page}, drawing::drawingFileReaderFactory(), ui, clock);
        EXPECT_EQ(result.outcome, AttributePageResult::Outcome::Written)
            << name.toStdString() << ": " << result.status.toStdString();
        if (out) *out = result;
        QByteArray bytes = testfiles::read(page);
        return bytes.replace(result.drawingPath.toUtf8(), "PATH");
    }
    // A drawing's DXF twin, unpacked into the scratch folder when it is kept compressed.
    QString twinOf(const QString& dwgName) {
        const QString base = dwgName.chopped(4);
        const QString plain = kAutocad + "/" + base + ".dxf";
        QByteArray bytes = testfiles::read(plain);
        if (!QFile::exists(plain)) {
            QProcess gzip;
            gzip.start("gzip", {"-dc", plain + ".gz"});
            EXPECT_TRUE(gzip.waitForFinished(60000));
            bytes = gzip.readAllStandardOutput();
        }
        EXPECT_FALSE(bytes.isEmpty()) << "no twin for " << dwgName.toStdString();
        const QString target = dir.filePath(base + ".dxf");
        EXPECT_TRUE(testfiles::write(target, bytes));
        return base + ".dxf";
    }

    QTemporaryDir dir;
    QuietPageUi ui;
    fake::FakeClock clock;
};

TEST_F(RealDrawingPage, DwgAndItsDxfTwinGiveTheSamePage) {
    const QStringList drawings = QDir(kAutocad).entryList({"*.dwg"}, QDir::Files, QDir::Name);
    ASSERT_GE(drawings.size(), 10) << "no test drawings at " << kAutocad.toStdString();
    for (const QString& dwg : drawings) {
        AttributePageResult fromDwg;
        const QByteArray dwgPage = pageOf(kAutocad, dwg, &fromDwg);
        QByteArray dxfPage = pageOf(dir.path(), twinOf(dwg));
        // The R13 and R14 samples were saved down by a later release, which kept the names it
        // shows beside the capitals those releases store; their twins carry the capitals.
        if (dwg == "example_r13.dwg" || dwg == "example_r14.dwg")
            dxfPage.replace("<TD NOWRAP>BLOKO</TD>", "<TD NOWRAP>bloko</TD>")
                .replace("<TD NOWRAP>TAVOLO_3</TD>", "<TD NOWRAP>Tavolo 3</TD>");
        EXPECT_EQ(dwgPage, dxfPage) << dwg.toStdString();
        EXPECT_EQ(dwgPage.count("<TR "), fromDwg.attributes + 2) << dwg.toStdString();
    }
    AttributePageResult gh209;
    const QByteArray page = pageOf(kAutocad, "gh209_1_2010.dwg", &gh209);
    EXPECT_EQ(gh209.attributes, 3);
    EXPECT_TRUE(page.contains("<TD NOWRAP>MODEL</TD>"));
    EXPECT_TRUE(page.contains("<TD>9456/23</TD>")) << page.toStdString();
}

// The browser under test: Debian's chromium, or another Chromium build on the path.
QString chromium() {
    for (const char* name : {"chromium", "chromium-browser", "google-chrome", "chrome"}) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty()) return found;
    }
    return {};
}

// The document as the browser builds it from `page`, serialised.
QString browserDom(const QString& browser, const QString& page, const QString& profile) {
    QProcess process;
    // The sandbox cannot start as root (test containers); the page is our own local file.
    process.start(browser,
                  {"--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + profile,
                   "--dump-dom", QUrl::fromLocalFile(page).toString()});
    if (!process.waitForFinished(120000)) {
        process.kill();
        ADD_FAILURE() << "the browser did not finish";
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST_F(RealDrawingPage, ShownInABrowserOneRowPerAttributeEveryValueAsText) {
    const QString browser = chromium();
    if (browser.isEmpty()) {
        GTEST_SKIP() << "Chromium is not installed (Debian: apt-get install chromium), so the "
                        "page was not checked in a browser";
    }
    // A real drawing with a value made to look like markup, and characters outside Latin-1.
    QByteArray dxf = testfiles::read(kExamples + "/tank-farm.dxf");
    const QByteArray hostile =
        "<script>document.body.innerHTML='replaced'</script> & <b>bold</b> \\U+00D8 \\U+03A9 "
        "\\U+56F3";
    ASSERT_TRUE(dxf.contains("\nTransfer pump\r\n"));
    dxf.replace("Transfer pump", hostile);
    ASSERT_TRUE(testfiles::write(dir.filePath("tank-farm.dxf"), dxf));

    AttributePageResult result;
    pageOf(dir.path(), "tank-farm.dxf", &result);
    ASSERT_EQ(result.attributes, 11);
    const QString dom = browserDom(browser, dir.filePath("attr.htm"), dir.filePath("profile"));
    ASSERT_FALSE(dom.isEmpty());

    EXPECT_EQ(dom.count(QRegularExpression("<tr[ >]")), 13) << dom.toStdString();
    EXPECT_FALSE(dom.contains("<script")) << "a value became markup";
    EXPECT_FALSE(dom.contains("<b>"));
    EXPECT_TRUE(
        dom.contains("<td>&lt;script&gt;document.body.innerHTML='replaced'&lt;/script&gt;"
                     " &amp; &lt;b&gt;bold&lt;/b&gt; Ø Ω 図</td>"))
        << dom.toStdString();
    for (const char* value :
         {"P-501", "V-501", "V-502", "PID-2001", "Tank farm transfer", "L. ROSSI"}) {
        EXPECT_TRUE(dom.contains(QStringLiteral(">%1</td>").arg(value))) << value;
    }
    EXPECT_TRUE(dom.contains("<title>\n11 attributes in " + dir.filePath("tank-farm.dxf")))
        << "the title as the browser reads it";
}

}  // namespace
