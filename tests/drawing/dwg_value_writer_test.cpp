// SPDX-License-Identifier: GPL-3.0-or-later
// Attribute values written into AutoCAD's drawings of every release from R13 to R2018 (the flat
// files up to R2000, the paged ones after, R2007's own): the new file reads back
// with the new values and everything else as it was, every object but the changed attributes
// keeps its bytes, LibreDWG reads the new values too, and writing the old values back gives
// the drawing as it read before. Drawings and values that cannot be written are refused.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <set>

#include "drawing/attribute_value_writer.h"
#include "drawing/dwg/bit_reader.h"
#include "drawing/dwg/crc16.h"
#include "drawing/dwg/dwg_reader.h"
#include "drawing/dwg/file_header.h"
#include "drawing/dwg/object_map.h"
#include "drawing/dwg/object_reader.h"
#include "drawing/dwg/sections.h"
#include "reader_probe.h"
#include "support/peers/libredwg_peer.h"

namespace drawing::test {
namespace {

using namespace Qt::StringLiterals;

std::string_view viewOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

Drawing readOrFail(std::string_view file) {
    Drawing drawing;
    const QString problem = dwg::readDwg(file, drawing);
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    return drawing;
}

// Every object's bytes (size, data, check value) by handle, through the file's object map: in
// the file up to R2000, in the objects section later.
std::map<std::uint64_t, std::string_view> objectsByHandle(std::string_view file,
                                                          dwg::Release release,
                                                          dwg::Sections& sections) {
    std::map<std::uint64_t, std::string_view> objects;
    QString problem;
    std::string_view area = file;
    std::string_view mapBytes;
    if (release >= dwg::Release::R2004) {
        const auto read = release == dwg::Release::R2007
                              ? dwg::readR2007Sections(file, {}, problem)
                              : dwg::readPagedSections(file, {}, problem);
        EXPECT_TRUE(read) << problem.toStdString();
        if (!read) return objects;
        sections = *read;
        area = sections.objects;
        mapBytes = sections.handles;
    } else {
        const auto header = dwg::readFileHeader(file, true, problem);
        EXPECT_TRUE(header) << problem.toStdString();
        if (!header) return objects;
        mapBytes = file.substr(header->objectMap.offset, header->objectMap.size);
    }
    const auto map = dwg::ObjectMap::read(mapBytes, area.size(), true, problem);
    EXPECT_TRUE(map) << problem.toStdString();
    if (!map) return objects;
    for (const dwg::ObjectMap::Entry& entry : map->entries()) {
        const auto raw = dwg::readRawObject(area, entry.offset, release, true, problem);
        if (!raw) continue;  // the map may list objects no reader can read; both sides alike
        const auto head = static_cast<std::size_t>(raw->data.data() - area.data()) - entry.offset;
        objects[entry.handle] = area.substr(entry.offset, head + raw->data.size() + 2);
    }
    return objects;
}

// What the second file header says, read on its own: its place, the object map's location and
// whether its check value holds. AutoCAD does not read a file whose copy is wrong.
QString secondHeader(std::string_view file) {
    const std::size_t start =
        file.find("\xD4\x7B\x21\xCE\x28\x93\x9F\xBF\x53\x24\x40\x09\x12\x3C\xAA\x01");
    if (start == std::string_view::npos) return u"none"_s;
    const std::size_t body = start + 16;
    dwg::BitReader in(file, body * 8, file.size() * 8);
    in.rawLong();
    const bool placed = static_cast<std::size_t>(in.bitLong()) == start;
    for (int i = 0; i < 13; ++i) in.rawChar();
    in.bitShort();
    in.rawShort();
    QString map;
    for (int i = in.bitShort(); i > 0; --i) {
        const unsigned number = in.rawChar();
        const auto offset = static_cast<std::uint32_t>(in.bitLong());
        const auto size = static_cast<std::uint32_t>(in.bitLong());
        if (number == 2) map = u"%1+%2"_s.arg(offset).arg(size);
    }
    for (int i = in.bitShort(); i > 0; --i) {
        const unsigned bytes = in.rawChar();
        for (unsigned b = 0; b <= bytes; ++b) in.rawChar();
    }
    in.skipBits((8 - (in.position() & 7)) & 7);
    const std::size_t crcAt = in.position() / 8;
    const bool checked =
        !in.failed() && dwg::crc16(file.substr(body, crcAt - body), 0xC0C1) == in.rawShort();
    return u"%1 map %2 %3"_s.arg(placed ? "placed" : "misplaced", map,
                                 checked ? "checked" : "check value wrong");
}

QString mapLocation(std::string_view file) {
    QString problem;
    const auto header = dwg::readFileHeader(file, true, problem);
    if (!header) return problem;
    return u"placed map %1+%2 checked"_s.arg(header->objectMap.offset).arg(header->objectMap.size);
}

QStringList insertsOf(const Drawing& drawing) {
    QStringList out;
    for (const InsertRecord& r : drawing.inserts)
        out << u"%1 %2 %3 %4,%5 %6 %7"_s.arg(r.name, r.layer, r.handle.toQString())
                   .arg(r.insertion.x)
                   .arg(r.insertion.y)
                   .arg(r.firstAttribute)
                   .arg(r.attributeCount);
    return out;
}

struct Sample {
    const char* file;
    dwg::Release release;
};

void PrintTo(const Sample& sample, std::ostream* out) {
    *out << sample.file;
}

class WrittenDrawing : public testing::TestWithParam<Sample> {};

// Longer, shorter, empty, a character of the code page beyond ASCII and one it lacks (stored
// as \U+XXXX), each on its own attribute; drawings with fewer attributes take several writes.
TEST_P(WrittenDrawing, NewValuesReadBackAndNothingElseChanges) {
    const std::string original = readBytes(QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/") +
                                           QLatin1StringView(GetParam().file));
    ASSERT_FALSE(original.empty());
    const Drawing before = readOrFail(original);
    const std::size_t count = before.attributes.size();
    ASSERT_GT(count, 0u);
    const bool flat = GetParam().release < dwg::Release::R2004;
    if (flat) {
        ASSERT_EQ(secondHeader(original).toStdString(), mapLocation(original).toStdString());
    }
    const QStringList values = {
        u"a much longer value than any of the drawing's own: "_s + QString(120, u'w'), u"s"_s,
        QString(), u"Gr\u00F6\u00DFe \u00E9"_s, u"\u03A9 \u4E2D and \u00E9"_s};
    std::string current = original;
    Drawing expected = before;
    for (qsizetype round = 0; round * static_cast<qsizetype>(count) < values.size(); ++round) {
        std::vector<AttributeValueEdit> edits;
        std::set<std::uint64_t> changed;
        for (std::size_t i = 0; i < count; ++i) {
            const qsizetype v = round * static_cast<qsizetype>(count) + static_cast<qsizetype>(i);
            if (v >= values.size()) break;
            const AttributeRecord& a = before.attributes[i];
            edits.push_back({{a.handle.toQString(), 0}, values[v]});
            expected.attributes[i].text = values[v];
            changed.insert(a.handle.toQString().toULongLong(nullptr, 16));
        }
        const QByteArray in(current.data(), static_cast<qsizetype>(current.size()));
        const auto written = rewriteAttributeValues(in, edits);
        ASSERT_TRUE(written) << written.error().description.toStdString();
        const std::string next(viewOf(written.value()));

        const Drawing after = readOrFail(next);
        ASSERT_EQ(after.attributes.size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            EXPECT_EQ(after.attributes[i].text, expected.attributes[i].text) << i;
            EXPECT_EQ(after.attributes[i].tag, before.attributes[i].tag) << i;
            EXPECT_EQ(after.attributes[i].handle.view(), before.attributes[i].handle.view());
        }
        EXPECT_EQ(insertsOf(after), insertsOf(before));
        EXPECT_EQ(after.enumeration, before.enumeration);
        if (flat) {
            EXPECT_EQ(secondHeader(next).toStdString(), mapLocation(next).toStdString());
        }

        dwg::Sections oldSections;
        dwg::Sections newSections;
        const auto old = objectsByHandle(current, GetParam().release, oldSections);
        const auto now = objectsByHandle(next, GetParam().release, newSections);
        EXPECT_EQ(old.size(), now.size());
        for (const auto& [handle, bytes] : old) {
            if (changed.count(handle)) continue;
            const auto found = now.find(handle);
            ASSERT_NE(found, now.end()) << std::hex << handle;
            EXPECT_EQ(found->second, bytes) << std::hex << handle;
        }
        current = next;
    }

    // The undo: the old values written back read as the drawing did at first.
    std::vector<AttributeValueEdit> undo;
    for (const AttributeRecord& a : before.attributes)
        undo.push_back({{a.handle.toQString(), 0}, a.text});
    const auto restored = rewriteAttributeValues(
        QByteArray(current.data(), static_cast<qsizetype>(current.size())), undo);
    ASSERT_TRUE(restored) << restored.error().description.toStdString();
    const Drawing again = readOrFail(viewOf(restored.value()));
    ASSERT_EQ(again.attributes.size(), count);
    for (std::size_t i = 0; i < count; ++i)
        EXPECT_EQ(again.attributes[i].text, before.attributes[i].text) << i;
    EXPECT_EQ(insertsOf(again), insertsOf(before));
}

// LibreDWG, reading on its own, finds the new values (ASCII ones: it leaves \U+ escapes as
// they are stored) and reads the written drawing no worse than the original.
TEST_P(WrittenDrawing, LibreDwgReadsTheNewValues) {
    SKIP_WITHOUT_LIBREDWG();
    const QString source =
        QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/") + QLatin1StringView(GetParam().file);
    const std::string original = readBytes(source);
    const Drawing before = readOrFail(original);
    std::vector<AttributeValueEdit> edits;
    std::map<QString, QString> wanted;
    for (std::size_t i = 0; i < before.attributes.size(); ++i) {
        const QString handle = before.attributes[i].handle.toQString().toUpper();
        const QString value =
            i % 2 ? u"short"_s : u"a longer value written by Quillon #%1"_s.arg(i);
        edits.push_back({{handle, 0}, value});
        wanted[handle] = value;
    }
    const auto written =
        rewriteAttributeValues(QByteArray(original.data(), qsizetype(original.size())), edits);
    ASSERT_TRUE(written) << written.error().description.toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"written.dwg"_s);
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(written.value());
    out.close();
    const auto peerBefore = testsupport::readWithLibreDwg(source);
    const auto peerAfter = testsupport::readWithLibreDwg(path);
    ASSERT_TRUE(peerBefore && peerAfter);
    EXPECT_LE(peerAfter->error, peerBefore->error);
    std::size_t compared = 0;
    for (const auto& [handle, text] : peerAfter->textsByHandle()) {
        const auto found = wanted.find(handle);
        if (found == wanted.end()) continue;
        EXPECT_EQ(text, found->second) << handle.toStdString();
        ++compared;
    }
    EXPECT_GT(compared, 0u);
}

INSTANTIATE_TEST_SUITE_P(AutoCad, WrittenDrawing,
                         testing::Values(Sample{"autocad/example_r13.dwg", dwg::Release::R13},
                                         Sample{"autocad/example_r14.dwg", dwg::Release::R14},
                                         Sample{"autocad/example_2000.dwg", dwg::Release::R2000},
                                         Sample{"autocad/entities-2d_2000.dwg",
                                                dwg::Release::R2000},
                                         Sample{"autocad/example_2004.dwg", dwg::Release::R2004},
                                         Sample{"autocad/example_2007.dwg", dwg::Release::R2007},
                                         Sample{"autocad/example_2010.dwg", dwg::Release::R2010},
                                         Sample{"autocad/gh209_1_2010.dwg", dwg::Release::R2010},
                                         Sample{"autocad/example_2013.dwg", dwg::Release::R2013},
                                         Sample{"autocad/example_2018.dwg", dwg::Release::R2018}),
                         [](const auto& sample) { return parameterName(sample.param.file); });

struct Refusal {
    const char* file;
    const char* handle;  // empty: the drawing's first attribute
    QString value;
    long error;
    QString reason;  // a part of the description
};

TEST(DwgValueWriter, RefusesWhatCannotBeWritten) {
    const Refusal refusals[] = {
        {"autocad/entities-2d_r11.dwg", "1F", u"x"_s, errors::kValueNotWritable,
         u"writing DWG release AC1009 is not supported"_s},
        {"autocad/block_r2.10.dwg", "1F", u"x"_s, errors::kValueNotWritable,
         u"writing DWG release AC2.10 is not supported"_s},
        {"autocad/example_2000.dwg", "FFFFF", u"x"_s, errors::kAttributeNotFound,
         u"no attribute has this handle"_s},
        {"autocad/example_r14.dwg", "", u"two\nlines"_s, errors::kValueNotWritable,
         u"line break"_s},
    };
    for (const Refusal& r : refusals) {
        const std::string file =
            readBytes(QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/") + QLatin1StringView(r.file));
        ASSERT_FALSE(file.empty()) << r.file;
        QString handle = QLatin1StringView(r.handle);
        if (handle.isEmpty()) handle = readOrFail(file).attributes.at(0).handle.toQString();
        const QByteArray bytes(file.data(), static_cast<qsizetype>(file.size()));
        const auto result = rewriteAttributeValues(bytes, {{{handle, 0}, r.value}});
        ASSERT_FALSE(result) << r.file;
        EXPECT_EQ(result.error().number, r.error) << r.file;
        EXPECT_TRUE(result.error().description.contains(r.reason))
            << r.file << ": " << result.error().description.toStdString();
        // A plan's check refuses it alike, without writing.
        const auto checked = checkAttributeValues(bytes, {{{handle, 0}, r.value}});
        ASSERT_FALSE(checked) << r.file;
        EXPECT_EQ(checked.error().description, result.error().description);
    }
}

// R13 C3 and later may keep the preview image last, after the second file header: it moves
// with everything after the object map, and its table of images follows it. (AutoCAD's samples
// keep theirs near the start; this copy of one has its preview moved to the end.)
TEST(DwgValueWriter, APreviewAfterTheObjectMapMovesWithItsTable) {
    std::string file =
        readBytes(QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad/example_r14.dwg"));
    ASSERT_FALSE(file.empty());
    const auto littleEndian = [](std::string_view bytes, std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i)
            value |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
        return value;
    };
    const auto put = [](std::string& bytes, std::size_t at, std::uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    const std::uint32_t seeker = littleEndian(file, 0x0D);
    QString problem;
    const auto header = dwg::readFileHeader(file, true, problem);
    ASSERT_TRUE(header) << problem.toStdString();
    // The preview runs from its seeker to the header variables; a copy goes to the end.
    const auto moved = static_cast<std::uint32_t>(file.size());
    file += file.substr(seeker, header->headerVariables.offset - seeker);
    put(file, 0x0D, moved);
    const unsigned images = static_cast<unsigned char>(file[moved + 20]);
    ASSERT_GT(images, 0u);
    std::vector<std::string> data;
    for (unsigned i = 0; i < images; ++i) {
        const std::size_t entry = moved + 21 + i * 9;
        const std::uint32_t start = littleEndian(file, entry + 1) - seeker + moved;
        put(file, entry + 1, start);
        data.push_back(file.substr(start, littleEndian(file, entry + 5)));
    }
    const std::uint32_t records = littleEndian(file, 0x15);
    const std::size_t crcAt = 0x19 + records * 9;
    const std::uint16_t crc =
        dwg::fileHeaderCheckValue(std::string_view(file).substr(0, crcAt), records);
    file[crcAt] = static_cast<char>(crc & 0xFF);
    file[crcAt + 1] = static_cast<char>(crc >> 8);
    const QString handle = readOrFail(file).attributes.at(0).handle.toQString();

    const auto written = rewriteAttributeValues(
        QByteArray(file.data(), static_cast<qsizetype>(file.size())), {{{handle, 0}, u"moved"_s}});
    ASSERT_TRUE(written) << written.error().description.toStdString();
    const std::string_view out = viewOf(written.value());
    const std::uint32_t now = littleEndian(out, 0x0D);
    EXPECT_GT(now, moved);
    ASSERT_EQ(out.substr(now, 21), std::string_view(file).substr(moved, 21));
    for (unsigned i = 0; i < images; ++i) {
        const std::size_t entry = now + 21 + i * 9;
        EXPECT_EQ(out.substr(littleEndian(out, entry + 1), littleEndian(out, entry + 5)), data[i]);
    }
    EXPECT_EQ(readOrFail(out).attributes.at(0).text, u"moved"_s);
}

// Damaged copies: cut short or with a byte changed anywhere, a drawing is refused with a
// reason, or (a change where nothing is read) written and read back whole; never a crash.
TEST(DwgValueWriter, DamagedDrawingsAreRefusedOrWrittenWhole) {
    const std::string original =
        readBytes(QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad/example_r14.dwg"));
    ASSERT_FALSE(original.empty());
    const QString handle = readOrFail(original).attributes.at(0).handle.toQString();
    std::vector<std::string> damaged;
    for (const std::size_t size : {std::size_t{0}, std::size_t{6}, std::size_t{0x30},
                                   original.size() / 2, original.size() - 40, original.size() - 1})
        damaged.push_back(original.substr(0, size));
    std::uint32_t seed = 24;
    for (int i = 0; i < 40; ++i) {
        seed = seed * 1664525u + 1013904223u;
        std::string copy = original;
        copy[seed % copy.size()] = static_cast<char>(copy[seed % copy.size()] ^ 0x24);
        damaged.push_back(std::move(copy));
    }
    int refused = 0;
    for (const std::string& file : damaged) {
        const auto result =
            rewriteAttributeValues(QByteArray(file.data(), static_cast<qsizetype>(file.size())),
                                   {{{handle, 0}, u"new"_s}});
        if (!result) {
            EXPECT_FALSE(result.error().description.isEmpty());
            ++refused;
            continue;
        }
        Drawing written;
        EXPECT_TRUE(dwg::readDwg(viewOf(result.value()), written).isEmpty());
    }
    EXPECT_GE(refused, 6);
}

}  // namespace
}  // namespace drawing::test
