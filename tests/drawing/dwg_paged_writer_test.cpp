// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the paged releases (AC1018, AC1024, AC1027, AC1032) anew around new objects and
// object map sections: the result reads back, with every check value, to the same sections and
// drawing as before (or to the changed objects), and LibreDWG reads it as it read the original.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <random>

#include "drawing/dwg/byte_order.h"
#include "drawing/dwg/lz77_r2004.h"
#include "drawing/dwg/object_map.h"
#include "drawing/dwg/object_reader.h"
#include "drawing/dwg/paged_format.h"
#include "drawing/dwg/section_writer.h"
#include "drawing/dwg/sections.h"
#include "dwg_bytes.h"
#include "reader_probe.h"
#include "support/peers/libredwg_peer.h"

namespace drawing::test {
namespace {

using dwg::ObjectMap;

constexpr std::size_t kPageSize = 0x7400;

std::string bigEndian16(std::uint32_t value) {
    return {static_cast<char>((value >> 8) & 0xFF), static_cast<char>(value & 0xFF)};
}

// The object map of `entries`: sections of (handle, offset) deltas under 2032 bytes, each
// with its check value, and the empty section that ends the map.
std::string encodeObjectMap(std::vector<ObjectMap::Entry> entries) {
    constexpr std::size_t kSectionLimit = 2032 - 16;
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.handle < b.handle; });
    std::string map;
    const auto close = [&map](const std::string& body) {
        const std::string section = bigEndian16(static_cast<std::uint32_t>(body.size() + 2)) + body;
        map += section + bigEndian16(dwg::crc16(section, 0xC0C1));
    };
    std::string body;
    std::uint64_t handle = 0;
    std::int64_t offset = 0;
    for (const ObjectMap::Entry& entry : entries) {
        if (body.size() > kSectionLimit) {
            close(body);
            body.clear();
            handle = 0;
            offset = 0;
        }
        putModularChar(body, entry.handle - handle);
        putSignedModularChar(body, std::int64_t{entry.offset} - offset);
        handle = entry.handle;
        offset = entry.offset;
    }
    if (!body.empty()) close(body);
    close({});
    return map;
}

// Each section's pages as the file stores them (data page headers unmasked), by section name.
std::map<std::string, std::string> storedSections(std::string_view file) {
    using namespace dwg::paged;
    std::map<std::string, std::string> stored;
    Layout layout;
    QString problem;
    EXPECT_TRUE(readLayout(file, true, layout, problem)) << problem.toStdString();
    for (const SectionDescription& section : layout.sections) {
        std::string& bytes = stored[section.name];
        bytes = section.stored;
        for (const PageEntry& page : section.pages) {
            const PageLocation location = layout.pages[page.number];
            bytes += maskDataPageHeader(file.substr(location.address, kDataPageHeaderSize),
                                        location.address) +
                     std::string(
                         file.substr(location.address + kDataPageHeaderSize, page.compressedSize));
        }
    }
    return stored;
}

dwg::Release releaseOf(std::string_view file) {
    const std::string_view name = file.substr(0, 6);
    if (name == "AC1018") return dwg::Release::R2004;
    if (name == "AC1024") return dwg::Release::R2010;
    if (name == "AC1027") return dwg::Release::R2013;
    return dwg::Release::R2018;
}

// Every reference of every space with all its properties: what the user sees of a drawing.
QStringList everything(const std::shared_ptr<const Drawing>& drawing) {
    const References references = select(drawing);
    QStringList lines = summary(references);
    for (const auto& reference : references) lines << properties(*reference);
    return lines;
}

std::optional<testsupport::PeerReading> peerReading(const QTemporaryDir& dir, const QString& name,
                                                    const std::string& bytes) {
    const QString path = dir.filePath(name);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()))
        return std::nullopt;
    out.close();
    return testsupport::readWithLibreDwg(path);
}

// Each reference LibreDWG reads: its handle, its block and its attributes.
QStringList peerSummary(const testsupport::PeerReading& reading) {
    QStringList lines;
    for (const testsupport::PeerInsert& insert : reading.inserts) {
        QString line = insert.handle + u' ' + insert.name;
        for (const testsupport::PeerAttribute& attribute : insert.attributes)
            line += u' ' + attribute.handle + u' ' + attribute.tag + u'=' + attribute.text;
        lines << line;
    }
    return lines;
}

class PagedWriter : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        m_file = readBytes(QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/") +
                           QLatin1StringView(GetParam()));
        ASSERT_FALSE(m_file.empty());
        QString problem;
        const auto sections = dwg::readPagedSections(m_file, {}, problem);
        ASSERT_TRUE(sections) << problem.toStdString();
        m_sections = *sections;
        const auto map =
            ObjectMap::read(m_sections.handles, m_sections.objects.size(), true, problem);
        ASSERT_TRUE(map) << problem.toStdString();
        m_map = map->entries();
        m_drawing = parseOrFail(m_file);
        ASSERT_TRUE(m_drawing);
    }

    std::string rewrite(const dwg::ChangedSections& changed,
                        std::optional<std::string_view> file = std::nullopt) const {
        QString problem;
        const auto written = dwg::rewritePagedFile(file.value_or(m_file), changed, problem);
        EXPECT_TRUE(written) << problem.toStdString();
        EXPECT_TRUE(problem.isEmpty());
        return written.value_or(std::string{});
    }

    // The objects section with the object of each reference and attribute moved behind
    // `filler` bytes appended at its end and its old bytes zeroed, and the map pointing to
    // the copies: only a reader that follows the new map into the new pages finds them.
    dwg::ChangedSections moveReferences(std::size_t filler) const {
        // Random bytes: they do not compress, so the new pages outgrow the old ones' place.
        std::mt19937 random(static_cast<unsigned>(filler));
        std::string noise(filler, '\0');
        for (char& c : noise) c = static_cast<char>(random());
        dwg::ChangedSections changed{m_sections.objects + noise, {}};
        std::vector<ObjectMap::Entry> entries = m_map;
        std::vector<std::uint64_t> handles;
        for (const InsertRecord& insert : m_drawing->inserts)
            handles.push_back(insert.handle.toQString().toULongLong(nullptr, 16));
        for (const AttributeRecord& attribute : m_drawing->attributes)
            handles.push_back(attribute.handle.toQString().toULongLong(nullptr, 16));
        for (const std::uint64_t handle : handles) {
            const auto entry = std::find_if(entries.begin(), entries.end(),
                                            [&](const auto& e) { return e.handle == handle; });
            if (entry == entries.end()) {
                ADD_FAILURE() << "no object " << handle;
                continue;
            }
            QString problem;
            const auto raw = dwg::readRawObject(m_sections.objects, entry->offset,
                                                releaseOf(m_file), true, problem);
            EXPECT_TRUE(raw) << problem.toStdString();
            if (!raw) continue;
            // The object's size, its bytes and its check value.
            const std::size_t end =
                static_cast<std::size_t>(raw->data.data() - m_sections.objects.data()) +
                raw->data.size() + 2;
            const std::string bytes = m_sections.objects.substr(entry->offset, end - entry->offset);
            std::fill_n(changed.objects.begin() + entry->offset, bytes.size(), '\0');
            entry->offset = static_cast<std::uint32_t>(changed.objects.size());
            changed.objects += bytes;
        }
        EXPECT_FALSE(handles.empty());
        changed.handles = encodeObjectMap(entries);
        return changed;
    }

    std::string m_file;
    dwg::Sections m_sections;
    std::vector<ObjectMap::Entry> m_map;
    std::shared_ptr<const Drawing> m_drawing;
};

TEST_P(PagedWriter, SameSectionsWrittenBackReadTheSame) {
    const std::string written = rewrite({m_sections.objects, m_sections.handles});
    QString problem;
    const auto sections = dwg::readPagedSections(written, {}, problem);
    ASSERT_TRUE(sections) << problem.toStdString();
    EXPECT_EQ(sections->header, m_sections.header);
    EXPECT_EQ(sections->classes, m_sections.classes);
    EXPECT_EQ(sections->handles, m_sections.handles);
    EXPECT_EQ(sections->objects, m_sections.objects);
    EXPECT_EQ(sections->codePage, m_sections.codePage);
    EXPECT_EQ(sections->maintenanceRelease, m_sections.maintenanceRelease);
    EXPECT_EQ(everything(parseOrFail(written)), everything(m_drawing));
    // The first bytes (but the encrypted header) and the pages of every other section are the
    // original's.
    EXPECT_EQ(written.substr(0, 0x80), m_file.substr(0, 0x80));
    EXPECT_EQ(written.substr(0xEC, 0x14), m_file.substr(0xEC, 0x14));
    // The new pages take the old ones' place.
    EXPECT_LT(written.size(), m_file.size() + m_file.size() / 20);
    auto before = storedSections(m_file);
    auto after = storedSections(written);
    EXPECT_GE(before.size(), 10u);
    for (auto* stored : {&before, &after})
        for (const char* name : {"AcDb:AcDbObjects", "AcDb:Handles"})
            EXPECT_EQ(stored->erase(name), 1u);
    EXPECT_EQ(after, before);
}

TEST_P(PagedWriter, MovedObjectsAreFoundThroughTheNewMap) {
    const std::string identity = rewrite({m_sections.objects, m_sections.handles});
    // Growing by nothing, by a page and by several pages of objects.
    for (const std::size_t filler : {std::size_t{0}, kPageSize + 5, 3 * kPageSize - 1}) {
        SCOPED_TRACE(filler);
        const dwg::ChangedSections changed = moveReferences(filler);
        const std::string written = rewrite(changed);
        QString problem;
        const auto sections = dwg::readPagedSections(written, {}, problem);
        ASSERT_TRUE(sections) << problem.toStdString();
        EXPECT_EQ(sections->objects, changed.objects);
        EXPECT_EQ(sections->handles, changed.handles);
        EXPECT_EQ(sections->header, m_sections.header);
        EXPECT_EQ(sections->classes, m_sections.classes);
        EXPECT_EQ(everything(parseOrFail(written)), everything(m_drawing));
        // A rewritten file rewrites again, its own new pages replaced rather than kept: with the
        // same sections to the same bytes, with the original ones to what the original gives.
        EXPECT_EQ(rewrite({sections->objects, sections->handles}, written), written);
        EXPECT_EQ(rewrite({m_sections.objects, m_sections.handles}, written), identity);
    }
}

TEST_P(PagedWriter, LibreDwgReadsTheRewrittenFile) {
    SKIP_WITHOUT_LIBREDWG();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto original = peerReading(dir, QStringLiteral("original.dwg"), m_file);
    ASSERT_TRUE(original);
    const auto written =
        peerReading(dir, QStringLiteral("moved.dwg"), rewrite(moveReferences(2 * kPageSize + 17)));
    ASSERT_TRUE(written);
    EXPECT_LT(written->error, 128);
    EXPECT_LE(written->error, original->error);
    EXPECT_EQ(peerSummary(*written), peerSummary(*original));
    EXPECT_FALSE(original->inserts.empty());
}

INSTANTIATE_TEST_SUITE_P(Drawings, PagedWriter,
                         ::testing::Values("autocad/example_2004.dwg", "autocad/example_2010.dwg",
                                           "autocad/example_2013.dwg", "autocad/example_2018.dwg",
                                           "dynamic/BLOCKFLIPPARAMETER.dwg",
                                           "dynamic/BLOCKLINEARPARAMETER.dwg",
                                           "dynamic/BLOCKROTATIONPARAMETER.dwg",
                                           "dynamic/BLOCKVISIBILITYPARAMETER.dwg",
                                           "dynamic/BLOCKXYPARAMETER.dwg"),
                         [](const ::testing::TestParamInfo<const char*>& drawing) {
                             return parameterName(drawing.param);
                         });

TEST(PagedWriterRefuses, FilesItCannotReadWhole) {
    const std::string file = autocadBytes(QStringLiteral("example_2004.dwg"));
    ASSERT_FALSE(file.empty());
    const struct {
        const char* what;
        std::string bytes;
        const char* problem;
    } cases[] = {
        {"another release", autocadBytes(QStringLiteral("example_2007.dwg")), "not an AC1018"},
        {"truncated", file.substr(0, file.size() / 2), "the file is truncated"},
        {"a damaged objects page", flipped(file, 0x8740 + 100), "AcDb:AcDbObjects is corrupt"},
        {"a damaged file header", flipped(file, 0x80 + 0x40), "the file header is corrupt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString problem;
        EXPECT_FALSE(dwg::rewritePagedFile(c.bytes, {"objects", "handles"}, problem));
        EXPECT_TRUE(problem.contains(QLatin1StringView(c.problem))) << problem.toStdString();
    }
}

// Pages may hold their data as it is, not compressed (AutoCAD stores the preview so): the
// reader takes such pages too. Made here from a written file whose object map (incompressible
// bytes, which the reader does not parse) is turned into a stored page in place.
TEST(PagedReader, ReadsStoredPages) {
    using namespace dwg::paged;
    const std::string file = autocadBytes(QStringLiteral("example_2004.dwg"));
    QString problem;
    const auto sections = dwg::readPagedSections(file, {}, problem);
    ASSERT_TRUE(sections) << problem.toStdString();
    std::mt19937 random(1);
    std::string stored(3000, '\0');
    for (char& c : stored) c = static_cast<char>(random());
    auto written = dwg::rewritePagedFile(file, {sections->objects, stored}, problem);
    Layout layout;
    ASSERT_TRUE(written && readLayout(*written, true, layout, problem)) << problem.toStdString();

    const PageLocation mapPage = layout.pages[dwg::le32(layout.header, kSectionMapIdAt)];
    std::string map;
    ASSERT_TRUE(readSystemPage(*written, mapPage.address, kSectionMapType, true, {}, map, problem));
    const std::size_t handles = map.find("AcDb:Handles") - 32;
    dwg::putLe32(map, handles + 20, kStoredPages);
    dwg::putLe32(map, handles + kDescriptionSize + 4, static_cast<std::uint32_t>(stored.size()));
    const std::string stream = dwg::literalStreamR2004(map);
    std::string systemHeader = written->substr(mapPage.address, kSystemPageHeaderSize);
    dwg::putLe32(systemHeader, 16, 0);
    dwg::putLe32(systemHeader, 16, pageChecksum(pageChecksum(0, systemHeader), stream));
    written->replace(mapPage.address, systemHeader.size() + stream.size(), systemHeader + stream);

    const PageLocation page = layout.pages[dwg::le32(map, handles + kDescriptionSize)];
    std::string header =
        maskDataPageHeader(written->substr(page.address, kDataPageHeaderSize), page.address);
    dwg::putLe32(header, 8, static_cast<std::uint32_t>(stored.size()));
    dwg::putLe32(header, kDataChecksumAt, pageChecksum(0, stored));
    dwg::putLe32(header, kHeaderChecksumAt, 0);
    dwg::putLe32(header, kHeaderChecksumAt, pageChecksum(pageChecksum(0, stored), header));
    written->replace(page.address, kDataPageHeaderSize + stored.size(),
                     maskDataPageHeader(header, page.address) + stored);

    const auto read = dwg::readPagedSections(*written, {}, problem);
    ASSERT_TRUE(read) << problem.toStdString();
    EXPECT_EQ(read->handles, stored);
    EXPECT_EQ(read->objects, sections->objects);
}

// The writer's streams come back whole through the reader's decompressor: literal runs of
// every length code, and compressed pages of random, repetitive and real data, with back
// references near, far and beyond 0x4000 and extended lengths.
TEST(R2004Compression, StreamsDecompressToTheirData) {
    std::mt19937 random(2004);
    const auto noise = [&random](std::size_t size) {
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        return bytes;
    };
    std::vector<std::string> samples;
    for (const std::size_t size : std::vector<std::size_t>{4, 5, 18, 19, 20, 273, 274, 275, 529})
        samples.push_back(noise(size));
    samples.push_back(std::string(kPageSize, '\0'));
    samples.push_back(noise(7) + std::string(300, 'a') + noise(3) + std::string(20, 'a'));
    const std::string block = noise(0x4100);
    samples.push_back(block + noise(9) + block.substr(0, 0x3000));  // matches 0x4109 back
    samples.push_back(block.substr(0, 0x400) + block.substr(0, 14) + "xy" + block.substr(5, 40));
    const std::string example = autocadBytes(QStringLiteral("example_2018.dwg"));
    QString problem;
    const auto sections = dwg::readPagedSections(example, {}, problem);
    ASSERT_TRUE(sections) << problem.toStdString();
    const std::size_t synthetic = samples.size();
    for (std::size_t at = 0; at < sections->objects.size(); at += kPageSize)
        samples.push_back(sections->objects.substr(at, kPageSize));
    std::size_t compressed = 0;  // of the drawing's objects
    for (const std::string& sample : samples) {
        SCOPED_TRACE(sample.size());
        std::string out;
        EXPECT_TRUE(dwg::decompressR2004(dwg::literalStreamR2004(sample), out, sample.size()));
        EXPECT_EQ(out, sample);
        const std::string stream = dwg::compressR2004(sample);
        EXPECT_TRUE(dwg::decompressR2004(stream, out, sample.size()));
        EXPECT_EQ(out, sample);
        if (&sample - samples.data() >= static_cast<std::ptrdiff_t>(synthetic))
            compressed += stream.size();
    }
    // AutoCAD compressed the same pages to 0x1EA7C bytes.
    EXPECT_LT(compressed, 0x1EA7C * 11 / 10);
}

}  // namespace
}  // namespace drawing::test
