// SPDX-License-Identifier: GPL-3.0-or-later
// The attribute search over the memory model: what matches, what each result line holds, the
// running total, the abort, and a run over several drawings.

#include "engine/attribute_search.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRandomGenerator>

#include "drawing/drawing_file_reader.h"
#include "engine/text_forms.h"
#include "engine_fixture.h"
#include "support/fake_clock.h"

namespace {

using fake::Call;
using fake::MemAttribute;
using fake::MemBlock;
using fake::MemDrawing;

MemBlock attributed(const QString& name, const QString& handle,
                    std::vector<MemAttribute> attributes, bool paper = false,
                    const QString& layer = QStringLiteral("0")) {
    MemBlock b = block(name, std::move(attributes), paper);
    b.handle = handle;
    b.layer = layer;
    return b;
}

class AttributeSearchTest : public EngineTest {
protected:
    // Opens `drawing` as "a.dwg" and searches it; the lines found, in order.
    QStringList search(MemDrawing drawing, const SearchCriteria& criteria,
                       const QString& delimiter = QStringLiteral(",")) {
        model->addDrawing("a.dwg", std::move(drawing));
        if (!opened) {
            EXPECT_TRUE(session.start().ok());
            opened = true;
        }
        EXPECT_TRUE(session.openDrawing("a.dwg").ok());
        QStringList lines;
        const qint64 hits = searcher.searchDrawing(session, "a.dwg", criteria, delimiter,
                                                   [&](const QString& line) { lines << line; });
        EXPECT_EQ(hits, lines.size());
        session.closeDrawing();
        return lines;
    }
    // The last field of each line: the attribute's value.
    static QStringList values(const QStringList& lines) {
        QStringList result;
        for (const QString& line : lines) result << line.section(',', -1);
        return result;
    }

    AttributeSearch searcher{ui};
    bool opened = false;
};

SearchCriteria find(const QString& text) {
    SearchCriteria c;
    c.text = text;
    return c;
}

MemDrawing pumpSheet() {
    MemDrawing d;
    d.blocks.push_back(attributed("PUMP", "A1", {{"TAG", "pump"}}));
    d.blocks.push_back(attributed("PUMP", "A2", {{"TAG", "PUMP"}}));
    d.blocks.push_back(attributed("PUMP", "A3", {{"TAG", "Pump P-101"}}));
    d.blocks.push_back(attributed("PUMP", "A4", {{"TAG", "valve"}}));
    d.blocks.push_back(attributed("PUMP", "A5", {{"PUMP", "tag named pump"}}));
    return d;
}

TEST_F(AttributeSearchTest, ValueMatchingFollowsMatchCaseAndExactPhrase) {
    struct Case {
        bool matchCase;
        bool exactPhrase;
        QStringList expected;
    };
    const Case cases[] = {
        {false, false, {"pump", "PUMP", "Pump P-101", "tag named pump"}},
        {true, false, {"pump", "tag named pump"}},
        {false, true, {"pump", "PUMP"}},
        {true, true, {"pump"}},
    };
    for (const Case& c : cases) {
        SearchCriteria criteria = find("pump");
        criteria.matchCase = c.matchCase;
        criteria.exactPhrase = c.exactPhrase;
        EXPECT_EQ(values(search(pumpSheet(), criteria)), c.expected)
            << "match case " << c.matchCase << ", exact " << c.exactPhrase;
    }
}

TEST_F(AttributeSearchTest, TagSearchComparesTagsOnlyAndShowsTagAndValue) {
    SearchCriteria criteria = find("pump");
    criteria.findTag = true;
    EXPECT_EQ(search(pumpSheet(), criteria),
              QStringList{"a.dwg,Model,PUMP,0,A5,,0,0,0,PUMP,tag named pump"});
}

TEST_F(AttributeSearchTest, ResultLineHasElevenFieldsInOrderWithTheDelimiter) {
    MemDrawing d;
    MemBlock title =
        attributed("Title", "2B", {{"DWGNO", "A-101", "2C"}, {"REV", "C", "2D"}}, true, "Frame");
    title.insertionPoint = {12345678.0, -0.5, 1.0 / 3};
    d.blocks.push_back(title);
    SearchCriteria criteria = find("");
    EXPECT_EQ(search(d, criteria, ";"),
              (QStringList{"a.dwg;Paper;Title;Frame;2B;2C;1.234568E+07;-0.5;0.3333333;DWGNO;A-101",
                           "a.dwg;Paper;Title;Frame;2B;2D;1.234568E+07;-0.5;0.3333333;REV;C"}));
    EXPECT_EQ(searchHeaderLine(";"),
              "Drawing;Space;Block;Layer;BHandle;Handle;X;Y;Z;AttributeTag;AttributeValue");
}

TEST_F(AttributeSearchTest, FieldsTheDrawingFailsToDeliverAreEmptyAndTheSearchGoesOn) {
    MemDrawing d;
    MemBlock broken = attributed("TITLE", "10", {{"REV", "A", "11"}});
    broken.failingProperties = {"name", "handle", "insertionPoint"};
    d.blocks.push_back(broken);
    MemBlock unreadable = attributed("TITLE", "20", {{"REV", "A", "21"}});
    unreadable.failingProperties = {"attributes"};
    d.blocks.push_back(unreadable);
    d.blocks.push_back(attributed("TITLE", "30",
                                  {MemAttribute("REV", "A", "31", false, true),
                                   MemAttribute("DWG", "A", "32", true, false)}));
    d.blocks.push_back(attributed("TITLE", "40", {{"REV", "A", "41"}}));
    EXPECT_EQ(search(d, find("A")),
              (QStringList{"a.dwg,Model,,0,,11,,,,REV,A", "a.dwg,Model,TITLE,0,30,32,0,0,0,,A",
                           "a.dwg,Model,TITLE,0,40,41,0,0,0,REV,A"}));
}

TEST_F(AttributeSearchTest, SpaceTextIsComparedLetterForLetter) {
    MemDrawing d;
    d.blocks.push_back(attributed("A", "1", {{"T", "model value"}}));
    d.blocks.push_back(attributed("A", "2", {{"T", "paper value"}}, true));
    const std::pair<QString, QStringList> cases[] = {
        {"Both", {"Model", "Paper"}},
        {"Model", {"Model"}},
        {"Paper", {"Paper"}},
        {"model", {}},
        {"BOTH", {}},
        {"", {}},
        {" Both", {}},
    };
    for (const auto& [space, expected] : cases) {
        SearchCriteria criteria = find("value");
        criteria.space = space;
        QStringList spaces;
        for (const QString& line : search(d, criteria)) spaces << line.section(',', 1, 1);
        EXPECT_EQ(spaces, expected) << space.toStdString();
    }
}

TEST_F(AttributeSearchTest, BlockAndLayerListsMatchWholeNamesIgnoringCase) {
    MemDrawing d;
    d.blocks.push_back(attributed("PUMP", "1", {{"T", "x"}}, false, "EQUIP"));
    d.blocks.push_back(attributed("Valve", "2", {{"T", "x"}}, false, "equip"));
    d.blocks.push_back(attributed("PUMPSTATION", "3", {{"T", "x"}}, false, "EQUIP"));
    d.blocks.push_back(attributed("TANK", "4", {{"T", "x"}}, false, "OTHER"));
    MemBlock dynamic = attributed("*U7", "5", {{"T", "x"}}, false, "EQUIP");
    dynamic.effectiveName = "VALVE";
    d.blocks.push_back(dynamic);
    struct Case {
        QString blocks;
        QString layers;
        QStringList handles;
    };
    const Case cases[] = {
        {"pump, valve", "*", {"1", "2", "5"}},
        {"  *  ", "*", {"1", "2", "3", "4", "5"}},
        {"PUMP", "*", {"1"}},
        {"pump,tank", "other", {"4"}},
        {"*", "Equip", {"1", "2", "3", "5"}},
        {"*", "equip,other", {"1", "2", "3", "4", "5"}},
        {"PUM", "*", {}},
        {"*U7", "*", {"5"}},
        {"P*", "*", {}},
    };
    for (const Case& c : cases) {
        SearchCriteria criteria = find("x");
        criteria.blocks = c.blocks;
        criteria.layers = c.layers;
        QStringList handles;
        for (const QString& line : search(d, criteria)) handles << line.section(',', 4, 4);
        EXPECT_EQ(handles, c.handles) << c.blocks.toStdString() << " / " << c.layers.toStdString();
    }
    // One layer narrows the drawing's own listing; block names never do, as a dynamic
    // block's references carry another name.
    EXPECT_EQ(model->listings.back().layer, "");
    SearchCriteria oneLayer = find("x");
    oneLayer.layers = " Equip ";
    oneLayer.blocks = "pump";
    search(d, oneLayer);
    EXPECT_EQ(model->listings.back(),
              (fake::BlockReferencesCall{drawingapi::Space::Paper, "Equip"}));
}

TEST_F(AttributeSearchTest, HitsAddUpAcrossDrawings) {
    MemDrawing d;
    d.blocks.push_back(attributed("A", "1", {{"T", "hit"}, {"U", "hit"}, {"V", "miss"}}));
    d.blocks.push_back(attributed("A", "2", {{"T", "hit"}}, true));
    EXPECT_EQ(search(d, find("hit")).size(), 3);
    EXPECT_EQ(searcher.hitTotal(), 3);
    EXPECT_EQ(search(d, find("hit")).size(), 3);
    EXPECT_EQ(searcher.hitTotal(), 6);
}

TEST_F(AttributeSearchTest, EmptySearchTextMatchesEveryAttributeUnlessExact) {
    MemDrawing d;
    d.blocks.push_back(attributed("A", "1", {{"T", "x"}, {"U", ""}}));
    d.blocks.push_back(attributed("A", "2", {{"T", "y"}}));
    EXPECT_EQ(values(search(d, find(""))), (QStringList{"x", "", "y"}));
    SearchCriteria exact = find("");
    exact.exactPhrase = true;
    EXPECT_EQ(values(search(d, exact)), QStringList{""});
}

// An Abort click arrives while pending events run; the walk stops at the next block reference.
class AbortingUi : public EngineUi {
public:
    void processPendingEvents() override {
        if (++runs != abortAt) return;
        if (search) search->requestAbort();
        if (run) run->requestAbort();
    }
    void showError(const QString&, const QString&) override {}
    int runs = 0;
    int abortAt = -1;
    AttributeSearch* search = nullptr;
    SearchRun* run = nullptr;
};

TEST_F(AttributeSearchTest, AbortStopsTheWalkAtTheNextBlockReference) {
    MemDrawing d;
    for (int i = 0; i < 10; ++i) {
        d.blocks.push_back(attributed("A", QString::number(i), {{"T", "hit"}}, i >= 5));
    }
    model->addDrawing("a.dwg", d);
    AbortingUi aborting;
    AttributeSearch own(aborting);
    aborting.search = &own;
    aborting.abortAt = 4;  // before the fourth reference
    DrawingSession abortable(model->factory(), aborting);
    ASSERT_TRUE(abortable.start().ok());
    ASSERT_TRUE(abortable.openDrawing("a.dwg").ok());
    QStringList lines;
    SearchCriteria criteria = find("hit");
    EXPECT_EQ(own.searchDrawing(abortable, "a.dwg", criteria, ",",
                                [&](const QString& line) { lines << line; }),
              3);
    EXPECT_EQ(lines.size(), 3) << "the paper walk of an aborted search finds nothing";
    EXPECT_TRUE(own.abortRequested());
}

TEST_F(AttributeSearchTest, AbortFromTheLineCallbackEndsTheDrawing) {
    MemDrawing d;
    for (int i = 0; i < 5; ++i)
        d.blocks.push_back(attributed("A", QString::number(i), {{"T", "x"}}));
    QStringList lines;
    model->addDrawing("a.dwg", d);
    ASSERT_TRUE(session.start().ok());
    ASSERT_TRUE(session.openDrawing("a.dwg").ok());
    searcher.searchDrawing(session, "a.dwg", find("x"), ",", [&](const QString& line) {
        lines << line;
        searcher.requestAbort();
    });
    EXPECT_EQ(lines.size(), 1);
}

// Odd texts in every criterion: nothing crashes, and a hit is only ever where the text really
// is. Every value is built from pieces, so the test knows which ones hold the search text.
TEST_F(AttributeSearchTest, OddSearchTextsAndListsNeverMatchWrongly) {
    const QString longText(10000, QChar(u'\u00e9'));
    const QStringList odd = {"\"",
                             "'",
                             "''",
                             "*",
                             "?",
                             "*.*",
                             ";",
                             ",",
                             " ",
                             "a;b",
                             "%s%n",
                             "\\",
                             QString(QChar(0)),
                             QStringLiteral("x") + QChar(0) + "y",
                             QString(QChar(0xD800)),
                             QString(QChar(0xDC00)) + "z",
                             QStringLiteral("\U0001F600"),
                             longText,
                             "\r\n",
                             "ǅ"};
    // A fixed seed: a failure comes back on every run, with the same values.
    QRandomGenerator generator(20261207);
    auto* random = &generator;
    for (const QString& needle : odd) {
        MemDrawing d;
        std::vector<bool> holds;
        for (int i = 0; i < 12; ++i) {
            // The other texts of the list, never the needle: unless a piece contains it.
            QString value;
            for (int piece = 0; piece < 3; ++piece) {
                value += odd[static_cast<int>(random->bounded(odd.size()))];
            }
            if (i % 3 == 0)
                value.insert(static_cast<int>(random->bounded(value.size() + 1)), needle);
            holds.push_back(value.contains(needle));
            d.blocks.push_back(attributed(needle, QString::number(i), {{needle, value}}));
        }
        SearchCriteria criteria = find(needle);
        criteria.matchCase = true;
        QStringList handles;
        for (const QString& line : search(d, criteria, QString(QChar(0x1F))))
            handles << line.section(QChar(0x1F), 4, 4);
        QStringList expected;
        for (size_t i = 0; i < holds.size(); ++i)
            if (holds[i]) expected << QString::number(i);
        EXPECT_EQ(handles, expected) << "search text of " << needle.size() << " characters";

        // As a block or layer list, an odd text is a name, never a pattern: it finds the
        // references named exactly so (when it holds no blank or comma) and no other.
        SearchCriteria listed = find("");
        listed.blocks = needle;
        listed.layers = QStringLiteral("*");
        const bool oneName = !needle.contains(' ') && !needle.contains(',');
        EXPECT_EQ(search(d, listed).size(), oneName ? 12 : 0) << needle.size();
        MemDrawing other;
        other.blocks.push_back(attributed("PLAIN", "99", {{"T", "v"}}, false, "LAYER"));
        listed.layers = needle;
        EXPECT_EQ(search(other, listed).size(), needle == QLatin1String("*") ? 1 : 0)
            << needle.size();
    }
}

TEST_F(AttributeSearchTest, TotalsLineIsHitsFilesAndSeconds) {
    EXPECT_EQ(searchTotalsLine(12, 3, 1.534).toStdString(),
              QStringLiteral("12 hits in 3 files in %1 seconds")
                  .arg(textforms::elapsedSeconds(1.534))
                  .toStdString());
    EXPECT_TRUE(searchTotalsLine(0, 0, 0).startsWith("0 hits in 0 files in "));
}

class SearchRunTest : public ::testing::Test {
protected:
    std::shared_ptr<fake::MemoryDrawingModel> model = fake::MemoryDrawingModel::create();
    fake::RecordingEngineUi ui;
    fake::FakeClock clock;
};

TEST_F(SearchRunTest, OpenFailuresAreReportedAndTheRunGoesOn) {
    MemDrawing hits;
    hits.blocks.push_back(attributed("A", "1", {{"T", "find me"}, {"U", "and me"}}));
    MemDrawing none;
    none.blocks.push_back(attributed("A", "2", {{"T", "nothing"}}));
    model->addDrawing("/d/one.dwg", hits);
    model->addDrawing("/d/two.dwg", none);
    model->addDrawing("/d/four.dxf", hits);
    SearchRun run(model->factory(), ui, clock);
    SearchCriteria criteria = find("me");
    run.setCriteria(criteria);
    QStringList searching, lines, failures;
    SearchRun::Events events;
    events.searching = [&](const QString& name) { searching << name; };
    events.lineFound = [&](const QString& line) { lines << line.section(',', 0, 0); };
    events.openFailed = [&](const QString& path, const QString& reason) {
        failures << path;
        EXPECT_FALSE(reason.isEmpty());
    };
    const SearchRun::Totals totals =
        run.run({"/d/one.dwg", "/d/two.dwg", "/d/three.dwg", "/d/four.dxf"}, events);
    EXPECT_TRUE(totals.started);
    EXPECT_FALSE(totals.aborted);
    EXPECT_EQ(totals.hits, 4);
    EXPECT_EQ(totals.filesWithHits, 2);
    EXPECT_EQ(totals.drawingsSearched, 3);
    EXPECT_EQ(totals.openFailures, 1);
    EXPECT_EQ(searching, (QStringList{"one.dwg", "two.dwg", "three.dwg", "four.dxf"}));
    EXPECT_EQ(lines, (QStringList{"one.dwg", "one.dwg", "four.dxf", "four.dxf"}));
    EXPECT_EQ(failures, QStringList{"/d/three.dwg"});
    EXPECT_EQ(model->liveDrawings(), 0);

    run.setFullPath(true);
    lines.clear();
    EXPECT_EQ(run.run({"/d/one.dwg"}, events).hits, 2) << "each run counts its own hits";
    EXPECT_EQ(lines, (QStringList{"/d/one.dwg", "/d/one.dwg"}));
}

// A line break in a file name would split a hit line in two, or make up a hit of its own.
TEST_F(SearchRunTest, HitLinesStayOneLineWhateverTheFileName) {
    MemDrawing hits;
    hits.blocks.push_back(attributed("A", "1", {{"T", "find me"}}));
    const QString crafted = "/d/x.dwg\nx.dwg,*MODEL_SPACE,A,0,1,2,0,0,0,T,fake me";
    model->addDrawing(crafted, hits);
    SearchRun run(model->factory(), ui, clock);
    run.setCriteria(find("me"));
    for (const bool fullPath : {false, true}) {
        run.setFullPath(fullPath);
        QStringList lines;
        SearchRun::Events events;
        events.lineFound = [&](const QString& line) { lines << line; };
        EXPECT_EQ(run.run({crafted}, events).hits, 1);
        ASSERT_EQ(lines.size(), 1);
        EXPECT_FALSE(lines[0].contains('\n') || lines[0].contains('\r')) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].startsWith(fullPath ? "/d/x.dwg x.dwg," : "x.dwg x.dwg,"));
    }
}

// A drawing that does not fit in memory is reported like one that does not open; the
// drawings after it are searched.
TEST_F(SearchRunTest, ADrawingThatExhaustsMemoryIsReportedAndTheRunGoesOn) {
    MemDrawing hits;
    hits.blocks.push_back(attributed("A", "1", {{"T", "find me"}}));
    MemDrawing huge = hits;
    huge.exhaustsMemory = true;
    model->addDrawing("/d/one.dwg", hits);
    model->addDrawing("/d/huge.dwg", huge);
    model->addDrawing("/d/three.dwg", hits);
    SearchRun run(model->factory(), ui, clock);
    run.setCriteria(find("me"));
    QStringList lines, failures;
    SearchRun::Events events;
    events.lineFound = [&](const QString& line) { lines << line.section(',', 0, 0); };
    events.openFailed = [&](const QString& path, const QString& reason) {
        failures << path + ": " + reason;
    };
    const SearchRun::Totals totals = run.run({"/d/one.dwg", "/d/huge.dwg", "/d/three.dwg"}, events);
    EXPECT_EQ(lines, (QStringList{"one.dwg", "three.dwg"}));
    EXPECT_EQ(failures, QStringList{"/d/huge.dwg: there is not enough memory for the drawing"});
    EXPECT_EQ(totals.hits, 2);
    EXPECT_EQ(totals.drawingsSearched, 2);
    EXPECT_EQ(totals.openFailures, 1);
    EXPECT_EQ(model->liveDrawings(), 0) << "the drawing that did not fit is not held";
}

TEST_F(SearchRunTest, AbortDuringTheFirstDrawingStopsAfterIt) {
    MemDrawing d;
    for (int i = 0; i < 4; ++i)
        d.blocks.push_back(attributed("A", QString::number(i), {{"T", "x"}}));
    model->addDrawing("/d/a.dwg", d);
    model->addDrawing("/d/b.dwg", d);
    AbortingUi aborting;
    SearchRun run(model->factory(), aborting, clock);
    aborting.run = &run;
    aborting.abortAt = 2;  // before the second reference of the first drawing
    run.setCriteria(find("x"));
    QStringList searching;
    SearchRun::Events events;
    events.searching = [&](const QString& name) { searching << name; };
    const SearchRun::Totals totals = run.run({"/d/a.dwg", "/d/b.dwg"}, events);
    EXPECT_TRUE(totals.aborted);
    EXPECT_EQ(totals.hits, 1);
    EXPECT_EQ(totals.filesWithHits, 1);
    EXPECT_EQ(searching, QStringList{"a.dwg"});
    EXPECT_EQ(model->liveDrawings(), 0) << "no drawing is held after an abort either";

    // The next run starts without the old abort.
    aborting.abortAt = -1;
    EXPECT_FALSE(run.run({"/d/b.dwg"}, events).aborted);
}

// Pending events run inside a search, so a second Search click can arrive: it starts nothing.
TEST_F(SearchRunTest, ASearchNeverRunsTwiceAtOnce) {
    MemDrawing d;
    d.blocks.push_back(attributed("A", "1", {{"T", "x"}}));
    model->addDrawing("/d/a.dwg", d);
    model->addDrawing("/d/b.dwg", d);
    class ReenteringUi : public EngineUi {
    public:
        void processPendingEvents() override {
            if (run && !inner) inner = run->run({"/d/b.dwg"}, {});
        }
        void showError(const QString&, const QString&) override {}
        SearchRun* run = nullptr;
        std::optional<SearchRun::Totals> inner;
    } reentering;
    SearchRun run(model->factory(), reentering, clock);
    reentering.run = &run;
    run.setCriteria(find("x"));
    const SearchRun::Totals outer = run.run({"/d/a.dwg", "/d/b.dwg"}, {});
    ASSERT_TRUE(reentering.inner.has_value());
    EXPECT_FALSE(reentering.inner->started);
    EXPECT_EQ(reentering.inner->drawingsSearched, 0);
    EXPECT_EQ(outer.hits, 2);
    EXPECT_EQ(model->created, 1);
    EXPECT_FALSE(run.running());
}

TEST_F(SearchRunTest, NoReaderSessionMeansNoRun) {
    model->failOn(Call::CreateReader);
    SearchRun run(model->factory(), ui, clock);
    const SearchRun::Totals totals = run.run({"/d/a.dwg"}, {});
    EXPECT_FALSE(totals.started);
    EXPECT_EQ(totals.drawingsSearched, 0);
}

// AutoCAD's own drawing through the reader: the two references of block "bloko".
TEST_F(SearchRunTest, RealDrawingFindsValuesByCaseAndPhrase) {
    const QString drawing = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad/example_2000.dwg");
    struct Case {
        QString text;
        bool matchCase;
        bool exactPhrase;
        QString blocks;
        QStringList lines;
    };
    const QString near = "example_2000.dwg,Model,bloko,Tavolo 3,756,757,0,0,0,ETIKEDO,valoro";
    const QString far =
        "example_2000.dwg,Model,bloko,Tavolo 3,190,192,3642.137,6066.05,0,ETIKEDO,"
        "valoro de la teksto en bloko";
    const Case cases[] = {
        {"VALORO", false, false, "*", {far, near}},
        {"VALORO", true, false, "*", {}},
        {"valoro", false, true, "BLOKO", {near}},
        {"Valoro", true, true, "*", {}},
        {"teksto", false, false, "cirklo_punktoj, bloko", {far}},
        {"teksto", false, false, "blok", {}},
    };
    for (const Case& c : cases) {
        SearchRun run(drawing::drawingFileReaderFactory(), ui, clock);
        SearchCriteria criteria = find(c.text);
        criteria.matchCase = c.matchCase;
        criteria.exactPhrase = c.exactPhrase;
        criteria.blocks = c.blocks;
        run.setCriteria(criteria);
        QStringList lines;
        SearchRun::Events events;
        events.lineFound = [&](const QString& line) { lines << line; };
        const SearchRun::Totals totals = run.run({drawing}, events);
        EXPECT_EQ(lines, c.lines) << c.text.toStdString() << " " << c.blocks.toStdString();
        EXPECT_EQ(totals.hits, c.lines.size());
    }
}

TEST(FolderPattern, FolderFoundIgnoringCaseAndWildcardMatchesAnyCase) {
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir(root).mkpath("Drawings/Sub.dxf");
    for (const char* name : {"Drawings/b.DXF", "Drawings/a.dxf", "Drawings/c.dwg",
                             "Drawings/.hidden.dxf", "Drawings/notes.txt"}) {
        testfiles::write(root + "/" + name, "x");
    }
    struct Case {
        QString folderPattern;
        QStringList names;
    };
    const Case cases[] = {
        {"/drawings/*.dxf", {"a.dxf", "b.DXF"}},         {"/DRAWINGS/*.DWG", {"c.dwg"}},
        {"/Drawings/?.d*", {"a.dxf", "b.DXF", "c.dwg"}}, {"/Drawings/A.DXF", {"a.dxf"}},
        {"/Drawings/*.dxf  ", {"a.dxf", "b.DXF"}},       {"/missing/*.dxf", {}},
    };
    for (const Case& c : cases) {
        const FolderPattern folderPattern = splitFolderPattern(root + c.folderPattern);
        QStringList names;
        for (const QString& path : drawingsOf(folderPattern)) {
            EXPECT_TRUE(path.startsWith(root + "/Drawings/") || c.names.isEmpty())
                << path.toStdString();
            names << QFileInfo(path).fileName();
        }
        EXPECT_EQ(names, c.names) << c.folderPattern.toStdString();
    }
    const FolderPattern bare = splitFolderPattern("*.dxf");
    EXPECT_TRUE(bare.folder.isEmpty());
    EXPECT_EQ(bare.pattern, "*.dxf");
}

}  // namespace
