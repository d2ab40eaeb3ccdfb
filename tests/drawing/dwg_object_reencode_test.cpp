// SPDX-License-Identifier: GPL-3.0-or-later
// Attributes and object maps of AutoCAD's own drawings encoded anew: with their own texts they
// come out byte for byte as AutoCAD wrote them, every ATTRIB of every release; with other texts
// they read back with the new value and every other field as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "drawing/dwg/attrib_encoder.h"
#include "drawing/dwg/file_header.h"
#include "drawing/dwg/object_map.h"
#include "drawing/dwg/objects_edit.h"
#include "drawing/dwg/reference_objects.h"
#include "drawing/dwg/sections.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

using dwg::Release;

struct Sample {
    const char* file;
    Release release;
    bool hasAttribs = true;
};

const Sample kSamples[] = {
    {"autocad/example_r13.dwg", Release::R13},
    {"autocad/example_r14.dwg", Release::R14},
    {"autocad/example_2000.dwg", Release::R2000},
    {"autocad/entities-2d_2000.dwg", Release::R2000},
    {"autocad/example_2004.dwg", Release::R2004},
    {"autocad/example_2007.dwg", Release::R2007},
    {"autocad/example_2010.dwg", Release::R2010},
    {"autocad/gh209_1_2010.dwg", Release::R2010},
    {"autocad/example_2013.dwg", Release::R2013},
    {"autocad/example_2018.dwg", Release::R2018},
    {"dynamic/BLOCKFLIPPARAMETER.dwg", Release::R2018, false},
    {"dynamic/BLOCKLINEARPARAMETER.dwg", Release::R2018, false},
    {"dynamic/BLOCKROTATIONPARAMETER.dwg", Release::R2018, false},
    {"dynamic/BLOCKVISIBILITYPARAMETER.dwg", Release::R2018, false},
    {"dynamic/BLOCKXYPARAMETER.dwg", Release::R2018, false},
};

void PrintTo(const Sample& sample, std::ostream* out) {
    *out << sample.file;
}

// The objects and the map of one drawing, as the reader finds them.
struct Opened {
    std::string file;
    dwg::Sections sections;
    std::string_view objects;
    std::string_view mapBytes;
    dwg::ObjectMap map;
};

void open(const Sample& sample, Opened& out) {
    out.file = readBytes(QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/") + sample.file);
    ASSERT_FALSE(out.file.empty());
    QString problem;
    if (sample.release <= Release::R2000) {
        const auto header = dwg::readFileHeader(out.file, true, problem);
        ASSERT_TRUE(header) << problem.toStdString();
        out.objects = out.file;
        out.mapBytes =
            std::string_view(out.file).substr(header->objectMap.offset, header->objectMap.size);
    } else {
        auto sections = sample.release == Release::R2007
                            ? dwg::readR2007Sections(out.file, {}, problem)
                            : dwg::readPagedSections(out.file, {}, problem);
        ASSERT_TRUE(sections) << problem.toStdString();
        out.sections = std::move(*sections);
        out.objects = out.sections.objects;
        out.mapBytes = out.sections.handles;
    }
    auto map = dwg::ObjectMap::read(out.mapBytes, out.objects.size(), true, problem);
    ASSERT_TRUE(map) << problem.toStdString();
    out.map = std::move(*map);
}

// The texts of an attribute as stored, the single-line value of a multiline one included.
dwg::AttribTexts storedTexts(const dwg::RawObject& raw, const dwg::AttribObject& attrib) {
    dwg::AttribTexts texts;
    dwg::BitReader field(raw.data, attrib.valueField.begin, attrib.valueField.end);
    texts.value = raw.release >= Release::R2007 ? field.unicodeText() : field.text();
    if (attrib.multiline) texts.multiline = attrib.value;
    return texts;
}

std::string_view storedObject(std::string_view objects, std::uint32_t offset,
                              const dwg::RawObject& raw) {
    const auto head = static_cast<std::size_t>(raw.data.data() - objects.data()) - offset;
    return objects.substr(offset, head + raw.data.size() + 2);
}

class SampleObjects : public testing::TestWithParam<Sample> {};

TEST_P(SampleObjects, EveryAttribWithItsOwnTextsIsTheSameBytes) {
    Opened d;
    open(GetParam(), d);
    int attribs = 0;
    for (const dwg::ObjectMap::Entry& entry : d.map.entries()) {
        if (dwg::peekType(d.objects, entry.offset, GetParam().release) != dwg::type::kAttrib)
            continue;
        QString problem;
        const auto raw =
            dwg::readRawObject(d.objects, entry.offset, GetParam().release, true, problem);
        ASSERT_TRUE(raw) << problem.toStdString();
        dwg::AttribObject attrib;
        ASSERT_TRUE(dwg::readAttrib(*raw, attrib)) << std::hex << entry.handle;
        const auto again = dwg::reencodeAttrib(d.objects, entry.offset, GetParam().release,
                                               storedTexts(*raw, attrib), problem);
        ASSERT_TRUE(again) << std::hex << entry.handle << " " << problem.toStdString();
        EXPECT_EQ(*again, storedObject(d.objects, entry.offset, *raw)) << std::hex << entry.handle;
        ++attribs;
    }
    EXPECT_EQ(attribs > 0, GetParam().hasAttribs);
}

TEST_P(SampleObjects, ObjectMapWrittenAgainIsTheSameBytes) {
    Opened d;
    open(GetParam(), d);
    const std::string written =
        dwg::ObjectMap::write(d.map.entries(), GetParam().release >= Release::R2004);
    // A section's map may be followed by the page's padding.
    ASSERT_LE(written.size(), d.mapBytes.size());
    EXPECT_EQ(written, d.mapBytes.substr(0, written.size()));
}

// New texts: longer, shorter, empty, beyond ASCII; the attribute reads back with them and
// with every other field as before (its handles, layer, tag), and the map points at it.
TEST_P(SampleObjects, NewTextsReadBackAndNothingElseChanges) {
    Opened d;
    open(GetParam(), d);
    const Release release = GetParam().release;
    std::vector<std::uint64_t> handles;
    for (const dwg::ObjectMap::Entry& entry : d.map.entries())
        if (dwg::peekType(d.objects, entry.offset, release) == dwg::type::kAttrib)
            handles.push_back(entry.handle);
    if (!GetParam().hasAttribs) GTEST_SKIP() << "the drawing has no attributes";
    ASSERT_FALSE(handles.empty());
    // "é" in the code page (ANSI_1252 in every sample) before R2007, UTF-8 after.
    const std::string accented = release >= Release::R2007 ? "Caf\xC3\xA9 \xE2\x82\xAC" : "Caf\xE9";
    const std::vector<std::string> values = {std::string(300, 'L'), "s", "", accented};
    for (std::size_t i = 0; i < values.size(); ++i) {
        dwg::AttribEdit edit{handles[i % handles.size()], {values[i], values[i] + "\\Pnext"}};
        QString problem;
        const auto edited = dwg::editAttributes(d.objects, d.map, release, {edit}, problem);
        ASSERT_TRUE(edited) << problem.toStdString();
        ASSERT_EQ(edited->objects.substr(0, d.objects.size()), d.objects);
        auto newMap = dwg::ObjectMap::read(edited->map, edited->objects.size(), true, problem);
        ASSERT_TRUE(newMap) << problem.toStdString();
        ASSERT_EQ(newMap->entries().size(), d.map.entries().size());
        for (const dwg::ObjectMap::Entry& entry : d.map.entries()) {
            if (entry.handle != edit.handle) {
                EXPECT_EQ(*newMap->find(entry.handle), entry.offset);
            }
        }
        const auto before =
            dwg::readRawObject(d.objects, *d.map.find(edit.handle), release, true, problem);
        const auto after =
            dwg::readRawObject(edited->objects, *newMap->find(edit.handle), release, true, problem);
        ASSERT_TRUE(before && after) << problem.toStdString();
        dwg::AttribObject old;
        dwg::AttribObject now;
        ASSERT_TRUE(dwg::readAttrib(*before, old));
        ASSERT_TRUE(dwg::readAttrib(*after, now));
        EXPECT_EQ(now.value, old.multiline ? edit.texts.multiline : edit.texts.value);
        EXPECT_EQ(storedTexts(*after, now).value, edit.texts.value);
        EXPECT_EQ(now.tag, old.tag);
        EXPECT_EQ(now.multiline, old.multiline);
        EXPECT_EQ(now.common.handle, old.common.handle);
        EXPECT_EQ(now.common.owner, old.common.owner);
        EXPECT_EQ(now.common.layer, old.common.layer);
        EXPECT_EQ(now.common.linetype, old.common.linetype);
        EXPECT_EQ(now.common.next, old.common.next);
        EXPECT_EQ(now.common.previous, old.common.previous);
        EXPECT_EQ(now.common.color, old.common.color);
        EXPECT_EQ(now.common.lineweight, old.common.lineweight);
        // Written back with its old texts, the attribute is the old bytes again.
        const auto back = dwg::reencodeAttrib(edited->objects, *newMap->find(edit.handle), release,
                                              storedTexts(*before, old), problem);
        ASSERT_TRUE(back) << problem.toStdString();
        EXPECT_EQ(*back, storedObject(d.objects, *d.map.find(edit.handle), *before));
    }
}

INSTANTIATE_TEST_SUITE_P(Drawings, SampleObjects, testing::ValuesIn(kSamples),
                         [](const auto& sample) { return parameterName(sample.param.file); });

}  // namespace
}  // namespace drawing::test
