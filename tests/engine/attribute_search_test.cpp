// SPDX-License-Identifier: GPL-3.0-or-later
// The attribute search, run over drawings of the memory model: what matches, what each result
// line holds, a run's totals, failures and abort; and one of AutoCAD's drawings.

#include "engine/attribute_search.h"

#include <QDir>
#include <QRandomGenerator>

#include "drawing/drawing_file_reader.h"
#include "engine/text_forms.h"
#include "engine_fixture.h"
#include "support/fake_clock.h"

namespace {

using fake::MemAttribute;
using fake::MemBlock;
using fake::MemDrawing;

SearchCriteria find(const QString& text) {
    SearchCriteria c;
    c.text = text;
    return c;
}

// Field `n` of each line (-1: the last, the attribute's value).
QStringList fields(const QStringList& lines, int n, QChar delimiter = u',') {
    QStringList result;
    for (const QString& line : lines) result << line.section(delimiter, n, n);
    return result;
}

class AttributeSearchTest : public ::testing::Test {
protected:
    // Runs `search` over `drawings`, noting each event; a line found asks for the abort when
    // abortOnLine is set, as an Abort click handled while the line is shown does.
    SearchRun::Totals run(SearchRun& search, const QStringList& drawings) {
        SearchRun::Events events;
        events.searching = [&](const QString& name) { searching << name; };
        events.lineFound = [&](const QString& line) {
            lines << line;
            if (abortOnLine) search.requestAbort();
        };
        events.openFailed = [&](const QString& path, const QString& reason) {
            failures << path + ": " + reason;
        };
        return search.run(drawings, events);
    }
    // The lines a search of `drawing`, opened as "a.dwg", finds in order.
    QStringList search(MemDrawing drawing, const SearchCriteria& criteria,
                       const QString& delimiter = QStringLiteral(",")) {
        model->addDrawing("a.dwg", std::move(drawing));
        SearchRun search(model->factory(), ui, clock);
        search.setCriteria(criteria);
        search.setDelimiter(delimiter);
        lines.clear();
        const qint64 hits = run(search, {"a.dwg"}).hits;
        EXPECT_EQ(hits, lines.size());
        return lines;
    }

    std::shared_ptr<fake::MemoryDrawingModel> model = fake::MemoryDrawingModel::create();
    // Pending events run what a test has in store: an Abort click, a second Search click.
    struct PendingEventsUi : EngineUi {
        void processPendingEvents() override {
            if (pending) pending();
        }
        void showError(const QString&, const QString&) override {}
        std::function<void()> pending;
    } ui;
    fake::FakeClock clock;
    QStringList searching, lines, failures;
    bool abortOnLine = false;
};

MemDrawing pumpSheet() {
    return sheet({block("PUMP", {{"TAG", "pump"}}), block("PUMP", {{"TAG", "PUMP"}}),
                  block("PUMP", {{"TAG", "Pump P-101"}}), block("PUMP", {{"TAG", "valve"}}),
                  block("PUMP", {{"PUMP", "tag named pump"}}, false, "A5"),
                  block("PUMP", {{"NOTE", ""}})});
}

TEST_F(AttributeSearchTest, ValueMatchingFollowsMatchCaseAndExactPhrase) {
    struct Case {
        QString text;
        bool matchCase;
        bool exactPhrase;
        QStringList expected;
    };
    const Case cases[] = {
        {"pump", false, false, {"pump", "PUMP", "Pump P-101", "tag named pump"}},
        {"pump", true, false, {"pump", "tag named pump"}},
        {"pump", false, true, {"pump", "PUMP"}},
        {"pump", true, true, {"pump"}},
        // An empty text is part of every value, and equal to the empty one only.
        {"", false, false, {"pump", "PUMP", "Pump P-101", "valve", "tag named pump", ""}},
        {"", false, true, {""}},
    };
    for (const Case& c : cases) {
        SearchCriteria criteria = find(c.text);
        criteria.matchCase = c.matchCase;
        criteria.exactPhrase = c.exactPhrase;
        EXPECT_EQ(fields(search(pumpSheet(), criteria), -1), c.expected)
            << c.text.toStdString() << ": match case " << c.matchCase << ", exact "
            << c.exactPhrase;
    }
}

TEST_F(AttributeSearchTest, TagSearchComparesTagsOnlyAndShowsTagAndValue) {
    SearchCriteria criteria = find("pump");
    criteria.findTag = true;
    EXPECT_EQ(search(pumpSheet(), criteria),
              QStringList{"a.dwg,Model,PUMP,0,A5,,0,0,0,PUMP,tag named pump"});
}

TEST_F(AttributeSearchTest, ResultLineHasElevenFieldsInOrderWithTheDelimiter) {
    MemBlock title =
        block("Title", {{"DWGNO", "A-101", "2C"}, {"REV", "C", "2D"}}, true, "2B", "Frame");
    title.insertionPoint = {12345678.0, -0.5, 1.0 / 3};
    EXPECT_EQ(search(sheet({title}), find(""), ";"),
              (QStringList{"a.dwg;Paper;Title;Frame;2B;2C;1.234568E+07;-0.5;0.3333333;DWGNO;A-101",
                           "a.dwg;Paper;Title;Frame;2B;2D;1.234568E+07;-0.5;0.3333333;REV;C"}));
    EXPECT_EQ(searchHeaderLine(";"),
              "Drawing;Space;Block;Layer;BHandle;Handle;X;Y;Z;AttributeTag;AttributeValue");
    EXPECT_EQ(searchTotalsLine(12, 3, 1.534),
              "12 hits in 3 files in " + textforms::elapsedSeconds(1.534) + " seconds");
}

TEST_F(AttributeSearchTest, FieldsTheDrawingFailsToDeliverAreEmptyAndTheSearchGoesOn) {
    MemBlock broken = block("TITLE", {{"REV", "A", "11"}}, false, "10");
    broken.failingProperties = {"name", "handle", "insertionPoint"};
    MemBlock unreadable = block("TITLE", {{"REV", "A", "21"}}, false, "20");
    unreadable.failingProperties = {"attributes"};
    const MemBlock failingAttributes =
        block("TITLE",
              {MemAttribute("REV", "A", "31", false, true), MemAttribute("DWG", "A", "32", true)},
              false, "30");
    const MemDrawing d = sheet(
        {broken, unreadable, failingAttributes, block("TITLE", {{"REV", "A", "41"}}, false, "40")});
    EXPECT_EQ(search(d, find("A")),
              (QStringList{"a.dwg,Model,,0,,11,,,,REV,A", "a.dwg,Model,TITLE,0,30,32,0,0,0,,A",
                           "a.dwg,Model,TITLE,0,40,41,0,0,0,REV,A"}));
}

TEST_F(AttributeSearchTest, SpaceTextIsComparedLetterForLetter) {
    const MemDrawing d =
        sheet({block("A", {{"T", "model value"}}), block("A", {{"T", "paper value"}}, true)});
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
        EXPECT_EQ(fields(search(d, criteria), 1), expected) << space.toStdString();
    }
}

TEST_F(AttributeSearchTest, BlockAndLayerListsMatchWholeNamesIgnoringCase) {
    MemBlock dynamic = block("*U7", {{"T", "x"}}, false, "5", "EQUIP");
    dynamic.effectiveName = "VALVE";
    const MemDrawing d = sheet({block("PUMP", {{"T", "x"}}, false, "1", "EQUIP"),
                                block("Valve", {{"T", "x"}}, false, "2", "equip"),
                                block("PUMPSTATION", {{"T", "x"}}, false, "3", "EQUIP"),
                                block("TANK", {{"T", "x"}}, false, "4", "OTHER"), dynamic});
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
        EXPECT_EQ(fields(search(d, criteria), 4), c.handles)
            << c.blocks.toStdString() << " / " << c.layers.toStdString();
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

// Odd texts in every criterion: nothing crashes, and a hit is only ever where the text really
// is. Every value is built from pieces, so the test knows which ones hold the search text.
TEST_F(AttributeSearchTest, OddSearchTextsAndListsNeverMatchWrongly) {
    // Split on '|', which is none of them; the texts a split cannot give follow.
    QStringList odd = QStringLiteral("\"|'|''|*|?|*.*|;|,| |a;b|%s%n|\\").split(u'|');
    odd << QString(QChar(0)) << QStringLiteral("x") + QChar(0) + "y" << QString(QChar(0xD800))
        << QString(QChar(0xDC00)) + "z" << QStringLiteral("\U0001F600")
        << QString(10000, QChar(u'\u00e9')) << "\r\n"
        << "ǅ";
    // A fixed seed: a failure comes back on every run, with the same values.
    QRandomGenerator random(20261207);
    for (const QString& needle : odd) {
        MemDrawing d;
        std::vector<bool> holds;
        for (int i = 0; i < 12; ++i) {
            // The other texts of the list, never the needle: unless a piece contains it.
            QString value;
            for (int piece = 0; piece < 3; ++piece) {
                value += odd[static_cast<int>(random.bounded(odd.size()))];
            }
            if (i % 3 == 0)
                value.insert(static_cast<int>(random.bounded(value.size() + 1)), needle);
            holds.push_back(value.contains(needle));
            d.blocks.push_back(block(needle, {{needle, value}}, false, QString::number(i)));
        }
        SearchCriteria criteria = find(needle);
        criteria.matchCase = true;
        QStringList expected;
        for (size_t i = 0; i < holds.size(); ++i)
            if (holds[i]) expected << QString::number(i);
        EXPECT_EQ(fields(search(d, criteria, QString(QChar(0x1F))), 4, QChar(0x1F)), expected)
            << "search text of " << needle.size() << " characters";

        // As a block or layer list, an odd text is a name, never a pattern: it finds the
        // references named exactly so (when it holds no blank or comma) and no other.
        SearchCriteria listed = find("");
        listed.blocks = needle;
        const bool oneName = !needle.contains(' ') && !needle.contains(',');
        EXPECT_EQ(search(d, listed).size(), oneName ? 12 : 0) << needle.size();
        listed.layers = needle;
        EXPECT_EQ(
            search(sheet({block("PLAIN", {{"T", "v"}}, false, "99", "LAYER")}), listed).size(),
            needle == QLatin1String("*") ? 1 : 0)
            << needle.size();
    }
}

// A drawing that does not open, or does not fit in memory, is reported; the run goes on.
TEST_F(AttributeSearchTest, OpenFailuresAreReportedAndTheRunGoesOn) {
    const MemDrawing hits = sheet({block("A", {{"T", "find me"}, {"U", "and me"}})});
    MemDrawing huge = hits;
    huge.exhaustsMemory = true;
    model->addDrawing("/d/one.dwg", hits);
    model->addDrawing("/d/two.dwg", sheet({block("A", {{"T", "nothing"}})}));
    model->addDrawing("/d/huge.dwg", huge);
    model->addDrawing("/d/four.dxf", hits);
    SearchRun search(model->factory(), ui, clock);
    search.setCriteria(find("me"));
    const SearchRun::Totals totals =
        run(search, {"/d/one.dwg", "/d/two.dwg", "/d/three.dwg", "/d/huge.dwg", "/d/four.dxf"});
    EXPECT_TRUE(totals.started);
    EXPECT_FALSE(totals.aborted);
    EXPECT_EQ(totals.hits, 4);
    EXPECT_EQ(totals.filesWithHits, 2);
    EXPECT_EQ(totals.drawingsSearched, 3);
    EXPECT_EQ(totals.openFailures, 2);
    EXPECT_EQ(searching, (QStringList{"one.dwg", "two.dwg", "three.dwg", "huge.dwg", "four.dxf"}));
    EXPECT_EQ(fields(lines, 0), (QStringList{"one.dwg", "one.dwg", "four.dxf", "four.dxf"}));
    EXPECT_EQ(failures, (QStringList{"/d/three.dwg: Drawing not found",
                                     "/d/huge.dwg: there is not enough memory for the drawing"}));
    EXPECT_EQ(model->liveDrawings(), 0) << "no drawing is held, not even one that did not fit";

    search.setFullPath(true);
    lines.clear();
    EXPECT_EQ(run(search, {"/d/one.dwg"}).hits, 2) << "each run counts its own hits";
    EXPECT_EQ(fields(lines, 0), (QStringList{"/d/one.dwg", "/d/one.dwg"}));
}

// A line break in a file name would split a hit line in two, or make up a hit of its own.
TEST_F(AttributeSearchTest, HitLinesStayOneLineWhateverTheFileName) {
    const QString crafted = "/d/x.dwg\nx.dwg,*MODEL_SPACE,A,0,1,2,0,0,0,T,fake me";
    model->addDrawing(crafted, sheet({block("A", {{"T", "find me"}})}));
    SearchRun search(model->factory(), ui, clock);
    search.setCriteria(find("me"));
    for (const bool fullPath : {false, true}) {
        search.setFullPath(fullPath);
        lines.clear();
        EXPECT_EQ(run(search, {crafted}).hits, 1);
        ASSERT_EQ(lines.size(), 1);
        EXPECT_FALSE(lines[0].contains('\n') || lines[0].contains('\r')) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].startsWith(fullPath ? "/d/x.dwg x.dwg," : "x.dwg x.dwg,"));
    }
}

// An Abort click arrives while pending events run: the walk stops at the next block reference,
// the paper space walk finds nothing, and no later drawing is searched.
TEST_F(AttributeSearchTest, AbortStopsTheWalkAndTheRun) {
    MemDrawing d;
    for (int i = 0; i < 4; ++i) d.blocks.push_back(block("A", {{"T", "x"}}, i >= 2));
    model->addDrawing("/d/a.dwg", d);
    model->addDrawing("/d/b.dwg", d);
    SearchRun search(model->factory(), ui, clock);
    int runs = 0;
    ui.pending = [&] {
        if (++runs == 2) search.requestAbort();  // before the first drawing's second reference
    };
    search.setCriteria(find("x"));
    const SearchRun::Totals totals = run(search, {"/d/a.dwg", "/d/b.dwg"});
    EXPECT_TRUE(totals.aborted);
    EXPECT_EQ(totals.hits, 1);
    EXPECT_EQ(totals.filesWithHits, 1);
    EXPECT_EQ(searching, QStringList{"a.dwg"});
    EXPECT_EQ(model->liveDrawings(), 0) << "no drawing is held after an abort either";

    // An abort from the line callback ends the drawing; the next run starts without it.
    abortOnLine = true;
    lines.clear();
    EXPECT_TRUE(run(search, {"/d/b.dwg"}).aborted);
    EXPECT_EQ(lines.size(), 1);
    abortOnLine = false;
    EXPECT_EQ(run(search, {"/d/b.dwg"}).hits, 4);
}

// Pending events run inside a search, so a second Search click can arrive: it starts nothing.
TEST_F(AttributeSearchTest, ASearchNeverRunsTwiceAtOnce) {
    model->addDrawing("/d/a.dwg", sheet({block("A", {{"T", "x"}})}));
    model->addDrawing("/d/b.dwg", sheet({block("A", {{"T", "x"}})}));
    SearchRun search(model->factory(), ui, clock);
    std::optional<SearchRun::Totals> inner;
    ui.pending = [&] {
        if (!inner) inner = search.run({"/d/b.dwg"}, {});
    };
    search.setCriteria(find("x"));
    const SearchRun::Totals outer = run(search, {"/d/a.dwg", "/d/b.dwg"});
    ASSERT_TRUE(inner.has_value());
    EXPECT_FALSE(inner->started);
    EXPECT_EQ(inner->drawingsSearched, 0);
    EXPECT_EQ(outer.hits, 2);
    EXPECT_EQ(model->created, 1);
    EXPECT_FALSE(search.running());

    model->failOn(fake::Call::CreateReader);
    const SearchRun::Totals withoutReader = run(search, {"/d/a.dwg"});
    EXPECT_FALSE(withoutReader.started);
    EXPECT_EQ(withoutReader.drawingsSearched, 0);
}

// AutoCAD's own drawing through the reader: the two references of block "bloko", found by a
// value and a block list in other letter cases.
TEST_F(AttributeSearchTest, RealDrawingFindsTheValuesOfItsBlocks) {
    SearchRun search(drawing::drawingFileReaderFactory(), ui, clock);
    SearchCriteria criteria = find("VALORO");
    criteria.blocks = "cirklo_punktoj, BLOKO";
    search.setCriteria(criteria);
    EXPECT_EQ(
        run(search, {QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad/example_2000.dwg")}).hits,
        2);
    EXPECT_EQ(lines,
              (QStringList{"example_2000.dwg,Model,bloko,Tavolo 3,190,192,3642.137,6066.05,0,"
                           "ETIKEDO,valoro de la teksto en bloko",
                           "example_2000.dwg,Model,bloko,Tavolo 3,756,757,0,0,0,ETIKEDO,valoro"}));
}

TEST(FolderPattern, FolderFoundIgnoringCaseAndWildcardMatchesAnyCase) {
    QTemporaryDir dir;
    const QString root = dir.path();
    QDir(root).mkpath("Drawings/Sub.dxf");
    for (const char* name : {"b.DXF", "a.dxf", "c.dwg", ".hidden.dxf", "notes.txt"}) {
        testfiles::write(root + "/Drawings/" + name, "x");
    }
    const std::pair<QString, QStringList> cases[] = {
        {"/drawings/*.dxf", {"a.dxf", "b.DXF"}},         {"/DRAWINGS/*.DWG", {"c.dwg"}},
        {"/Drawings/?.d*", {"a.dxf", "b.DXF", "c.dwg"}}, {"/Drawings/A.DXF", {"a.dxf"}},
        {"/Drawings/*.dxf  ", {"a.dxf", "b.DXF"}},       {"/missing/*.dxf", {}},
    };
    for (const auto& [folderPattern, expected] : cases) {
        QStringList names;
        for (const QString& path : drawingsOf(splitFolderPattern(root + folderPattern))) {
            EXPECT_TRUE(path.startsWith(root + "/Drawings/")) << path.toStdString();
            names << QFileInfo(path).fileName();
        }
        EXPECT_EQ(names, expected) << folderPattern.toStdString();
    }
    const FolderPattern bare = splitFolderPattern("*.dxf");
    EXPECT_TRUE(bare.folder.isEmpty());
    EXPECT_EQ(bare.pattern, "*.dxf");
}

}  // namespace
