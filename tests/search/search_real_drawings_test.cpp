// SPDX-License-Identifier: GPL-3.0-or-later
// The search window over the drawing reader and real files: an example drawing, a cut one and a
// file that is no drawing, in one folder. What the reader finds in each release is its own
// tests' to check.

#include <QFile>

#include "drawing/drawing_file_reader.h"
#include "search_window_fixture.h"

namespace {

TEST_F(SearchWindowTest, RealDrawingsAreSearchedAndTheOnesThatDoNotOpenAreNamedWithTheirReason) {
    ASSERT_TRUE(QFile::copy(QUILLON_FIXTURES_DIR "/../../examples/tank-farm.dxf",
                            dir.filePath("tank-farm.dxf")));
    ASSERT_TRUE(testfiles::write(dir.filePath("broken.dxf"), "0\r\nSECTION\r\n2\r\nENTI"));
    ASSERT_TRUE(testfiles::write(dir.filePath("notes.dxf"), "shopping list"));
    open(drawing::drawingFileReaderFactory());
    // The pattern is written in other letter case than the files: they are found all the same.
    searchFor("transfer", dir.filePath("*.DXF"));
    EXPECT_EQ(
        shownLines(),
        (QStringList{kHeader, "tank-farm.dxf,Model,PUMP,EQUIPMENT,4A,4D,60,40,0,DESC,Transfer pump",
                     "tank-farm.dxf,Paper,TITLE,BORDER,59,5C,230,10,0,TITLE,Tank farm transfer"}));
    const QStringList status = window->statusLabel->text().split('\n');
    ASSERT_EQ(status.size(), 2);
    EXPECT_EQ(status[0].section(" in ", 0, 1), "2 hits in 1 files");
    EXPECT_TRUE(status[1].startsWith("Not opened: broken.dxf: ")) << status[1].toStdString();
    EXPECT_TRUE(status[1].contains("; notes.dxf: not a drawing file")) << status[1].toStdString();
}

}  // namespace
