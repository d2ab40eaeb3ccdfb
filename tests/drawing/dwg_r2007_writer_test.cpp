// SPDX-License-Identifier: GPL-3.0-or-later
// Writing an AC1021 (R2007) drawing back around new objects and object map. The Reed-Solomon
// parity the writer computes is AutoCAD's to the byte, its compressed streams expand to what
// went in, and a rewritten drawing reads as its new contents say: by our reader with every
// check value verified, and by LibreDWG.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <random>

#include "drawing/dwg/byte_order.h"
#include "drawing/dwg/lz77_r2007.h"
#include "drawing/dwg/object_map.h"
#include "drawing/dwg/object_reader.h"
#include "drawing/dwg/r2007_layout.h"
#include "drawing/dwg/r2007_section_map.h"
#include "drawing/dwg/reed_solomon.h"
#include "drawing/dwg/section_writer.h"
#include "drawing/dwg/sections.h"
#include "dwg_bytes.h"
#include "reader_probe.h"
#include "support/peers/libredwg_peer.h"

namespace drawing::test {
namespace {

using dwg::ChangedSections;
using dwg::ReedSolomonCode;
using dwg::r2007::kPagesBase;

constexpr std::uint64_t kAttribute = 0x192;  // the ATTRIB of the reference 0x190 in model space

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

struct Place {
    std::uint64_t at = 0;  // in the file
    std::uint64_t size = 0;
};

// Where each page of the page map lies in the file, by id.
std::map<std::int64_t, Place> pagesAt(const dwg::r2007::Layout& layout) {
    std::map<std::int64_t, Place> pages;
    std::uint64_t at = kPagesBase;
    for (const auto& entry : layout.pageMap) {
        pages[entry.id] = {at, entry.size};
        at += entry.size;
    }
    return pages;
}

dwg::r2007::Layout layoutOf(std::string_view file) {
    QString problem;
    const auto layout = dwg::r2007::readLayout(file, problem);
    EXPECT_TRUE(layout) << problem.toStdString();
    return layout.value_or(dwg::r2007::Layout{});
}

std::vector<dwg::r2007::SectionEntry> sectionsOf(const dwg::r2007::Layout& layout) {
    return dwg::r2007::splitSectionMap(layout.sectionMap)
        .value_or(std::vector<dwg::r2007::SectionEntry>{});
}

TEST(R2007Codes, ParityIsAutoCadsForTheSystemAndTheDataCode) {
    const std::string file = autocadBytes(u"example_2007.dwg"_qs);
    ASSERT_FALSE(file.empty());
    const auto layout = layoutOf(file);
    struct Coded {
        const char* what;
        std::uint64_t at;
        std::size_t words;
        ReedSolomonCode code;
    };
    std::vector<Coded> coded = {{"the file header", 0x80, 3, ReedSolomonCode::SystemPage}};
    const auto pages = pagesAt(layout);
    for (const auto& section : sectionsOf(layout)) {
        if (section.description.encoding != 4) continue;
        for (const auto& page : section.description.pages) {
            const std::size_t words = ((page.compressedSize + 7) / 8 * 8 + 250) / 251;
            coded.push_back({section.name.c_str(), pages.at(static_cast<std::int64_t>(page.id)).at,
                             words, ReedSolomonCode::DataPage});
        }
    }
    ASSERT_GT(coded.size(), 10u);
    for (const Coded& c : coded) {
        const std::string_view stored = std::string_view(file).substr(c.at, c.words * 255);
        const std::string data = dwg::deinterleaveReedSolomon(stored, c.words, c.code);
        EXPECT_EQ(dwg::interleaveReedSolomon(data, c.words, c.code), stored) << c.what;
    }
}

TEST(R2007Compression, StreamsExpandToWhatWentIn) {
    const std::string file = autocadBytes(u"example_2007.dwg"_qs);
    QString problem;
    const auto sections = dwg::readR2007Sections(file, {}, problem);
    ASSERT_TRUE(sections) << problem.toStdString();
    const std::string text = "ATTRIB valoro de la teksto en bloko; ";
    std::string texts;
    while (texts.size() < 5000) texts += text + std::to_string(texts.size());
    struct Case {
        const char* what;
        std::string data;
        // The bytes a stream of literals adds to data that does not repeat (the seeds are those
        // whose bytes happen to hold no repeated four bytes); -1: it repeats.
        int overhead;
    };
    const std::string runs = std::string(1000, 'a') + "xyzzy" + std::string(700, 'a');
    const std::string farApart = randomBytes(300, 1) + randomBytes(70000, 10) + randomBytes(300, 1);
    const Case cases[] = {
        {"nothing", "", 0},
        {"one byte", "q", 4},  // a short first run has a four-byte opcode
        {"seven bytes", randomBytes(7, 3), 4},
        {"eight bytes", randomBytes(8, 4), 1},
        {"22 bytes", randomBytes(22, 5), 1},
        {"23 bytes: a length byte", randomBytes(23, 6), 2},
        {"277 bytes", randomBytes(277, 7), 2},
        {"278 bytes: 16-bit length parts", randomBytes(278, 8), 4},
        {"a run ending on a whole 16-bit part", randomBytes(0x17 + 0xFF + 0xFFFF, 10), 6},
        {"copies longer than one instruction", runs, -1},
        {"the same bytes beyond the reach of a copy", farApart, 6},
        {"texts", texts, -1},
        {"the objects of a drawing", sections->objects, -1},
        {"its classes", sections->classes, -1},
        {"its header variables", sections->header, -1},
    };
    for (const Case& c : cases) {
        const std::string compressed = dwg::compressR2007(c.data);
        EXPECT_EQ(dwg::decompressR2007(compressed, c.data.size()), c.data) << c.what;
        if (c.overhead >= 0)
            EXPECT_EQ(compressed.size(), c.data.size() + static_cast<std::size_t>(c.overhead))
                << c.what;
        else
            EXPECT_LT(compressed.size(), c.data.size()) << c.what;
    }
}

// One object copied to the end of the objects section, the map pointing there; the object's
// first bytes at its old place damaged, so that only the copy can be read.
ChangedSections movedToTheEnd(const dwg::Sections& sections, std::size_t grow = 0) {
    QString problem;
    const auto map = dwg::ObjectMap::read(sections.handles, sections.objects.size(), true, problem);
    EXPECT_TRUE(map) << problem.toStdString();
    if (!map) return {};
    const std::uint32_t offset = map->find(kAttribute).value_or(0);
    const auto raw =
        dwg::readRawObject(sections.objects, offset, dwg::Release::R2007, true, problem);
    EXPECT_TRUE(raw) << problem.toStdString();
    if (!raw) return {};
    const std::size_t end = static_cast<std::size_t>(raw->data.data() - sections.objects.data()) +
                            raw->data.size() + 2;  // the check value follows the data
    const std::string object = sections.objects.substr(offset, end - offset);
    ChangedSections changed{sections.objects, {}};
    // Growing with copies of the object keeps the pages compressible, as objects are.
    while (changed.objects.size() < sections.objects.size() + grow) changed.objects += object;
    const std::size_t copy = changed.objects.size();
    changed.objects += object;
    char& damaged = changed.objects[offset + raw->data.size() / 2];
    damaged = static_cast<char>(damaged ^ 0x5A);
    auto entries = map->entries();
    for (auto& entry : entries)
        if (entry.handle == kAttribute) entry.offset = static_cast<std::uint32_t>(copy);
    changed.handles = encodedObjectMap(entries);
    return changed;
}

// Every reference of every space with all it reports.
QStringList describe(std::string_view file) {
    QStringList lines;
    for (const auto& reference : select(parseOrFail(file))) lines << properties(*reference);
    return lines;
}

class R2007Writer : public ::testing::Test {
protected:
    void SetUp() override {
        m_file = autocadBytes(u"example_2007.dwg"_qs);
        ASSERT_FALSE(m_file.empty());
        QString problem;
        const auto sections = dwg::readR2007Sections(m_file, {}, problem);
        ASSERT_TRUE(sections) << problem.toStdString();
        m_sections = *sections;
        m_references = describe(m_file);
        ASSERT_EQ(m_references.size(), select(parseOrFail(m_file)).size());
    }

    // The rewritten file, its sections as our reader reads them (the failure in `problem`).
    std::string rewrite(const ChangedSections& changed, dwg::Sections& read) const {
        QString problem;
        const auto out = dwg::rewriteR2007File(m_file, changed, problem);
        EXPECT_TRUE(out) << problem.toStdString();
        if (!out) return {};
        const auto sections = dwg::readR2007Sections(*out, {}, problem);
        EXPECT_TRUE(sections) << problem.toStdString();
        if (sections) read = *sections;
        return *out;
    }

    std::string m_file;
    dwg::Sections m_sections;
    QStringList m_references;
};

TEST_F(R2007Writer, OwnContentsReadTheSameAndOtherPagesKeepTheirBytes) {
    dwg::Sections read;
    const std::string out = rewrite({m_sections.objects, m_sections.handles}, read);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(read.header, m_sections.header);
    EXPECT_EQ(read.classes, m_sections.classes);
    EXPECT_EQ(read.handles, m_sections.handles);
    EXPECT_EQ(read.objects, m_sections.objects);
    EXPECT_EQ(read.codePage, m_sections.codePage);
    EXPECT_EQ(read.maintenanceRelease, m_sections.maintenanceRelease);
    EXPECT_EQ(describe(out), m_references);

    // The plain header (which gives the preview's address) and every old page stay as they
    // were, and the new page map finds those of the sections left alone where they were.
    const auto before = layoutOf(m_file);
    const auto after = layoutOf(out);
    const auto oldPages = pagesAt(before);
    const auto newPages = pagesAt(after);
    EXPECT_EQ(out.substr(0, 0x80), m_file.substr(0, 0x80));
    const std::uint64_t oldEnd = oldPages.rbegin()->second.at + oldPages.rbegin()->second.size;
    EXPECT_EQ(out.substr(kPagesBase, oldEnd - kPagesBase),
              m_file.substr(kPagesBase, oldEnd - kPagesBase));
    std::size_t kept = 0;
    for (const auto& section : sectionsOf(before)) {
        if (section.name == "AcDb:AcDbObjects" || section.name == "AcDb:Handles") continue;
        for (const auto& page : section.description.pages) {
            const auto id = static_cast<std::int64_t>(page.id);
            ASSERT_TRUE(newPages.count(id)) << section.name;
            EXPECT_EQ(newPages.at(id).at, oldPages.at(id).at) << section.name;
            EXPECT_EQ(newPages.at(id).size, oldPages.at(id).size) << section.name;
            ++kept;
        }
    }
    EXPECT_GE(kept, 10u);
    // The file header is written again at the end, where it says.
    const std::uint64_t copy =
        kPagesBase + dwg::le64(after.header, dwg::r2007::field::kHeader2Offset);
    EXPECT_EQ(out.substr(copy), out.substr(0x80, 0x400));
    EXPECT_EQ(dwg::le64(after.header, dwg::r2007::field::kFileSize), out.size());

    // A rewritten file, its replaced pages now gaps in the page map, is rewritten in turn.
    QString problem;
    const auto again =
        dwg::rewriteR2007File(out, {m_sections.objects, m_sections.handles}, problem);
    ASSERT_TRUE(again) << problem.toStdString();
    EXPECT_EQ(describe(*again), m_references);
    EXPECT_EQ(layoutOf(*again).pageMap.size(), after.pageMap.size() + 7 + 1 + 4);
}

TEST_F(R2007Writer, AnObjectMovedToTheEndIsReadThere) {
    const ChangedSections changed = movedToTheEnd(m_sections);
    ASSERT_FALSE(changed.handles.empty());
    dwg::Sections read;
    const std::string out = rewrite(changed, read);
    EXPECT_EQ(read.objects, changed.objects);
    EXPECT_EQ(read.handles, changed.handles);
    EXPECT_EQ(read.header, m_sections.header);
    EXPECT_EQ(describe(out), m_references);
}

TEST_F(R2007Writer, AGrownObjectsSectionTakesMorePages) {
    const ChangedSections changed = movedToTheEnd(m_sections, 3 * 0xF800);
    ASSERT_FALSE(changed.handles.empty());
    dwg::Sections read;
    const std::string out = rewrite(changed, read);
    EXPECT_EQ(read.objects, changed.objects);
    EXPECT_EQ(describe(out), m_references);
    const auto pageCount = [](std::string_view file) {
        for (const auto& section : sectionsOf(layoutOf(file)))
            if (section.name == "AcDb:AcDbObjects") return section.description.pages.size();
        return std::size_t{0};
    };
    EXPECT_EQ(pageCount(m_file), 7u);
    EXPECT_EQ(pageCount(out), (changed.objects.size() + 0xF7FF) / 0xF800);
    EXPECT_GE(pageCount(out), 10u);
}

TEST_F(R2007Writer, LibreDwgReadsTheRewrittenDrawings) {
    SKIP_WITHOUT_LIBREDWG();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const auto original = testsupport::readWithLibreDwg(
        QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad/example_2007.dwg"));
    ASSERT_TRUE(original);
    ASSERT_LT(original->error, 128);
    const auto texts = original->textsByHandle();
    ASSERT_EQ(texts.count(u"192"_qs), 1u);
    const std::pair<const char*, ChangedSections> cases[] = {
        {"own", {m_sections.objects, m_sections.handles}},
        {"moved", movedToTheEnd(m_sections)},
        {"grown", movedToTheEnd(m_sections, 3 * 0xF800)},
    };
    for (const auto& [name, changed] : cases) {
        dwg::Sections read;
        const std::string out = rewrite(changed, read);
        const QString path = folder.filePath(QLatin1StringView(name) + u".dwg"_qs);
        QFile written(path);
        ASSERT_TRUE(written.open(QIODevice::WriteOnly));
        written.write(out.data(), static_cast<qint64>(out.size()));
        written.close();
        const auto peer = testsupport::readWithLibreDwg(path);
        ASSERT_TRUE(peer) << name;
        EXPECT_LE(peer->error, original->error) << name;
        EXPECT_EQ(peer->textsByHandle(), texts) << name;
    }
}

TEST_F(R2007Writer, DrawingsThatDoNotReadWholeAreNotWritten) {
    const auto classesPage = [this] {
        const auto layout = layoutOf(m_file);
        for (const auto& section : sectionsOf(layout))
            if (section.name == "AcDb:Classes")
                return pagesAt(layout)
                    .at(static_cast<std::int64_t>(section.description.pages[0].id))
                    .at;
        return std::uint64_t{0};
    }();
    ASSERT_GT(classesPage, 0u);
    const std::pair<const char*, std::string> broken[] = {
        {"a damaged file header", flipped(m_file, 0x100)},
        {"a damaged page of classes", flipped(m_file, classesPage + 40)},
        {"a truncated file", m_file.substr(0, m_file.size() / 2)},
        {"not an R2007 file", "AC1018" + m_file.substr(6)},
    };
    for (const auto& [what, bytes] : broken) {
        QString problem;
        EXPECT_FALSE(
            dwg::rewriteR2007File(bytes, {m_sections.objects, m_sections.handles}, problem))
            << what;
        EXPECT_FALSE(problem.isEmpty()) << what;
    }
}

}  // namespace
}  // namespace drawing::test
