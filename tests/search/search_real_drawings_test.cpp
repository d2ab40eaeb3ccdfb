// SPDX-License-Identifier: GPL-3.0-or-later
// The search window over the drawing reader and real drawings: the examples, the DWG releases
// of the test data, and a folder with a file that is no drawing.

#include <QFile>

#include "drawing/drawing_file_reader.h"
#include "engine/attribute_search.h"
#include "search_window_fixture.h"

namespace {

const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");
const QString kAutocad = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad");

class SearchRealDrawingsTest : public SearchWindowTest {
protected:
    void SetUp() override {
        SearchWindowTest::SetUp();
        open(drawing::drawingFileReaderFactory());
    }
};

TEST_F(SearchRealDrawingsTest, TheExamplesGiveTheirLinesInNameOrder) {
    searchFor("feed", kExamples + "/*.DXF");
    EXPECT_EQ(window->resultsText(),
              kHeader +
                  "\r\n"
                  "boiler-feed.dxf,Model,PUMP,EQUIPMENT,4A,4D,30,50,0,DESC,Feed pump 1\r\n"
                  "boiler-feed.dxf,Model,PUMP,EQUIPMENT,4E,51,30,10,0,DESC,Feed pump 2\r\n"
                  "boiler-feed.dxf,Paper,TITLE,BORDER,5E,61,230,10,0,TITLE,Boiler feed "
                  "water, sheet 1\r\n"
                  "boiler-feed.dxf,Paper,TITLE,BORDER,6A,6D,230,10,0,TITLE,Boiler feed "
                  "water, sheet 2\r\n");
    EXPECT_EQ(window->statusLabel->text().section(" in ", 0, 1), "4 hits in 1 files");

    // Saved as CSV, the titles' commas stay inside their column.
    const QString path = dir.filePath("feed.csv");
    window->csvCheck->setChecked(true);
    fakes.dialogs.answerSaveFile(path);
    window->saveButton->click();
    const QList<QByteArray> lines = testfiles::read(path).split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[3],
              "boiler-feed.dxf,Paper,TITLE,BORDER,5E,61,230,10,0,TITLE,\"Boiler feed water, "
              "sheet 1\"\r");
}

TEST_F(SearchRealDrawingsTest, TagSearchAcrossDwgReleases) {
    window->findTagCheck->setChecked(true);
    window->exactPhraseCheck->setChecked(true);
    searchFor("etikedo", kAutocad + "/example_20*.dwg");
    const QStringList lines = shownLines();
    ASSERT_EQ(lines.size(), 13);
    EXPECT_EQ(lines[1],
              "example_2000.dwg,Model,bloko,Tavolo 3,190,192,3642.137,6066.05,0,ETIKEDO,valoro de "
              "la teksto en bloko");
    EXPECT_EQ(lines[12], "example_2018.dwg,Model,bloko,Tavolo 3,756,757,0,0,0,ETIKEDO,valoro");
    EXPECT_EQ(window->statusLabel->text().section(" in ", 0, 1), "12 hits in 6 files");

    // The value "valoro" alone, not the longer one.
    window->findTagCheck->setChecked(false);
    searchFor("VALORO", kAutocad + "/example_20*.dwg");
    EXPECT_EQ(shownLines().size(), 7);
}

TEST_F(SearchRealDrawingsTest, AFileThatIsNoDrawingIsNamedWithItsReasonAndTheOthersAreSearched) {
    ASSERT_TRUE(QFile::copy(kExamples + "/tank-farm.dxf", dir.filePath("tank-farm.dxf")));
    ASSERT_TRUE(testfiles::write(dir.filePath("broken.dxf"), "0\r\nSECTION\r\n2\r\nENTI"));
    ASSERT_TRUE(testfiles::write(dir.filePath("notes.dxf"), "shopping list"));
    searchFor("transfer", dir.filePath("*.dxf"));
    EXPECT_EQ(shownLines().size(), 3) << "header, the pump's description, the title";
    const QStringList status = window->statusLabel->text().split('\n');
    ASSERT_EQ(status.size(), 2);
    EXPECT_EQ(status[0].section(" in ", 0, 1), "2 hits in 1 files");
    EXPECT_TRUE(status[1].startsWith("Not opened: broken.dxf: ")) << status[1].toStdString();
    EXPECT_TRUE(status[1].contains("; notes.dxf: not a drawing file")) << status[1].toStdString();
}

}  // namespace
