// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>

#include "main_window_fixture.h"

namespace {

// A double-click on a drawing writes attr.htm in the program folder and opens it in the browser.
class AttributePageCommandTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        drawings = makeFolder("dwg");
        touch(drawings + "/a.dwg");
        fake::MemDrawing drawing;
        fake::MemBlock title;
        title.name = "TITLE";
        title.attributes = {{"DWGNO", "A-1"}, {"REV", "<script>alert(1)</script>"}};
        drawing.blocks.push_back(title);
        model->addDrawing(drawings + "/a.dwg", drawing);
        setOption("Dir", drawings);
        load();
    }
    QString page() const { return appDir.filePath("attr.htm"); }
    QString drawings;
};

TEST_F(AttributePageCommandTest, DoubleClickWritesThePageAndOpensIt) {
    ASSERT_EQ(ui.drawingList->count(), 1);
    window->showAttributePage(ui.drawingList->item(0));
    ASSERT_TRUE(QFile::exists(page()));
    const QByteArray html = testfiles::read(page());
    EXPECT_TRUE(html.contains("2 attributes in ")) << html.toStdString();
    EXPECT_TRUE(html.contains("&lt;script&gt;")) << "a value is shown as text";
    EXPECT_FALSE(html.contains("<script>"));
    EXPECT_TRUE(ui.statusLabel->text().startsWith("HTML file created in "))
        << ui.statusLabel->text().toStdString();
    ASSERT_EQ(fakes.shell.calls.size(), 1u);
    EXPECT_EQ(fakes.shell.calls[0].kind, fake::RecordingShell::Call::Kind::Document);
    EXPECT_EQ(fakes.shell.calls[0].target, page());
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
    EXPECT_EQ(fakes.ui.beeps, 0);
}

TEST_F(AttributePageCommandTest, DrawingGoneSinceTheListWasFilledBeepsAndOpensNothing) {
    QFile::remove(drawings + "/a.dwg");
    window->showAttributePage(ui.drawingList->item(0));
    EXPECT_EQ(ui.statusLabel->text(), "File A.DWG not found.");
    EXPECT_EQ(fakes.ui.beeps, 1);
    EXPECT_TRUE(fakes.shell.calls.empty());
    EXPECT_FALSE(QFile::exists(page()));
    EXPECT_EQ(fakes.ui.hourglassDepth, 0);
}

}  // namespace
