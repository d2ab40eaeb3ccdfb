// SPDX-License-Identifier: GPL-3.0-or-later
// A search on several threads gives what one thread gives: the same lines in the same order,
// the same drawings not opened with the same reasons, the same totals, over real drawings of
// every release and broken ones; and it stops where it is told to.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "drawing/drawing_file_reader.h"
#include "engine/attribute_search.h"
#include "support/files.h"
#include "support/qt_printers.h"

namespace {

const QString kAutocad = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad");
const QString kExamples = QStringLiteral(QUILLON_FIXTURES_DIR "/../../examples");

// What the events saw, in the order they saw it.
struct Seen {
    QStringList events;
    SearchRun::Totals totals;
};

class SearchPoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const QString& from : {kAutocad, kExamples}) {
            for (const QString& name : QDir(from).entryList({"*.dwg", "*.dxf"}, QDir::Files)) {
                ASSERT_TRUE(QFile::copy(from + "/" + name, dir.filePath(name)));
            }
        }
        testfiles::write(dir.filePath("broken.dwg"), "AC1015 and then nothing");
        testfiles::write(dir.filePath("empty.dxf"), "");
        drawings = drawingsOf(splitFolderPattern(dir.path() + "/*"));
        criteria.text = "a";
    }

    SearchRun::Events recording(Seen& seen, const std::function<void()>& onLine = {}) {
        SearchRun::Events events;
        events.searching = [&seen](const QString& name) { seen.events << "searching " + name; };
        events.lineFound = [&seen, onLine](const QString& line) {
            seen.events << line;
            if (onLine) onLine();
        };
        events.openFailed = [&seen](const QString& path, const QString& reason) {
            seen.events << "not opened " + path + ": " + reason;
        };
        return events;
    }

    Seen search(int jobs) {
        SearchRun run(drawing::drawingFileReaderFactory(), ui, clock);
        run.setCriteria(criteria);
        run.setDelimiter(";");
        run.setJobs(jobs);
        Seen seen;
        seen.totals = run.run(drawings, recording(seen));
        return seen;
    }

    QTemporaryDir dir;
    QuietEngineUi ui;
    QStringList drawings;
    SearchCriteria criteria;
    platform::SystemClock clock;
};

TEST_F(SearchPoolTest, EveryNumberOfJobsGivesTheOneThreadSearch) {
    ASSERT_GE(drawings.size(), 20);
    const struct {
        const char* name;
        SearchCriteria criteria;
    } searches[] = {
        {"values", {.text = QStringLiteral("a")}},
        {"tags, whole, letter case",
         {.text = QStringLiteral("DWGNO"),
          .matchCase = true,
          .exactPhrase = true,
          .findTag = true}},
        {"paper space", {.space = QStringLiteral("Paper"), .text = QStringLiteral("pid")}},
        {"some blocks", {.blocks = QStringLiteral("title,pump"), .text = QStringLiteral("p")}},
    };
    for (const auto& kind : searches) {
        SCOPED_TRACE(kind.name);
        criteria = kind.criteria;
        const Seen one = search(1);
        ASSERT_GT(one.totals.hits, 0);
        ASSERT_EQ(one.totals.openFailures, 2);
        for (const int jobs : {2, 3, 8, 64}) {
            SCOPED_TRACE(jobs);
            const Seen many = search(jobs);
            EXPECT_EQ(many.events, one.events);
            EXPECT_TRUE(many.totals.started);
            EXPECT_FALSE(many.totals.aborted);
            EXPECT_EQ(many.totals.hits, one.totals.hits);
            EXPECT_EQ(many.totals.filesWithHits, one.totals.filesWithHits);
            EXPECT_EQ(many.totals.drawingsSearched, one.totals.drawingsSearched);
            EXPECT_EQ(many.totals.openFailures, one.totals.openFailures);
        }
    }
}

// Output that cannot be written stops the search: nothing of a later drawing reaches it.
TEST_F(SearchPoolTest, AnAbortFromAnEventEndsTheSearchAfterThatDrawing) {
    const Seen one = search(1);
    SearchRun run(drawing::drawingFileReaderFactory(), ui, clock);
    run.setCriteria(criteria);
    run.setDelimiter(";");
    run.setJobs(4);
    Seen stopped;
    stopped.totals = run.run(drawings, recording(stopped, [&run] { run.requestAbort(); }));
    EXPECT_TRUE(stopped.totals.aborted);
    ASSERT_FALSE(stopped.events.isEmpty());
    // The one-thread events to the end of the first drawing with a hit.
    qsizetype end = 0;
    while (end < one.events.size() && one.events[end].startsWith("searching ")) ++end;
    while (end < one.events.size() && !one.events[end].startsWith("searching ")) ++end;
    EXPECT_EQ(stopped.events, one.events.mid(0, end));
    EXPECT_LT(stopped.totals.hits, one.totals.hits);

    Seen nothing;
    nothing.totals = run.run({}, recording(nothing));
    EXPECT_TRUE(nothing.events.isEmpty());
    EXPECT_FALSE(nothing.totals.aborted);
}

}  // namespace
