// SPDX-License-Identifier: GPL-3.0-or-later
// The classes section of the paged releases: every class record is walked, to the last one
// the drawing's DXF twin lists, and a cut or damaged section is only a class not found. The
// LAYOUT objects it numbers give the names and tab orders of the twin.

#include <gtest/gtest.h>

#include <map>

#include "drawing/dwg/classes.h"
#include "drawing/dwg/object_map.h"
#include "drawing/dwg/sections.h"
#include "drawing/dwg/table_objects.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

using dwg::Release;

constexpr const char* kExampleLayouts = "Layout1:1,Layout2:2,Model:0";

struct Sample {
    const char* file;
    Release release;
    const char* lastClass;  // the last class of the DXF twin's CLASSES section
    int lastNumber;
    const char* layouts;  // the twin's LAYOUT objects: name and tab order, by name
};

class DwgClasses : public ::testing::TestWithParam<Sample> {
protected:
    void SetUp() override {
        m_file = autocadBytes(QString::fromLatin1(GetParam().file));
        ASSERT_FALSE(m_file.empty());
        QString problem;
        const auto sections = GetParam().release == Release::R2007
                                  ? dwg::readR2007Sections(m_file, {}, problem)
                                  : dwg::readPagedSections(m_file, {}, problem);
        ASSERT_TRUE(sections.has_value()) << problem.toStdString();
        m_sections = *sections;
    }
    int find(std::string_view section, std::string_view name) const {
        return dwg::findClassNumber(section, GetParam().release, m_sections.maintenanceRelease,
                                    name);
    }
    std::string m_file;
    dwg::Sections m_sections;
};

TEST_P(DwgClasses, EveryRecordIsWalked) {
    EXPECT_EQ(find(m_sections.classes, "LAYOUT"), 502);
    EXPECT_EQ(find(m_sections.classes, "DICTIONARYVAR"), 503);
    EXPECT_EQ(find(m_sections.classes, GetParam().lastClass), GetParam().lastNumber);
    EXPECT_EQ(find(m_sections.classes, "NO_SUCH_CLASS"), -1);
}

TEST_P(DwgClasses, LayoutsHaveTheNamesAndTabOrdersOfTheTwin) {
    QString problem;
    const auto map =
        dwg::ObjectMap::read(m_sections.handles, m_sections.objects.size(), true, problem);
    ASSERT_TRUE(map.has_value()) << problem.toStdString();
    const int layoutType = find(m_sections.classes, "LAYOUT");
    std::map<std::string, long long> layouts;
    for (const auto& entry : map->entries()) {
        // AutoCAD writes LAYOUT under its fixed type, though the classes number it too.
        const int type = dwg::peekType(m_sections.objects, entry.offset, GetParam().release);
        if (type != layoutType && type != dwg::type::kLayout) continue;
        const auto raw =
            dwg::readRawObject(m_sections.objects, entry.offset, GetParam().release, true, problem);
        ASSERT_TRUE(raw.has_value()) << problem.toStdString();
        dwg::LayoutObject layout;
        ASSERT_TRUE(dwg::readLayout(*raw, layout));
        layouts[layout.name] = layout.tabOrder;
    }
    std::string listed;
    for (const auto& [name, tab] : layouts)
        listed += (listed.empty() ? "" : ",") + name + ":" + std::to_string(tab);
    EXPECT_EQ(listed, GetParam().layouts);
}

TEST_P(DwgClasses, CutOrDamagedSectionsFindNothingWrongAndStayInside) {
    const std::string& classes = m_sections.classes;
    for (std::size_t cut = 0; cut < classes.size(); cut += 97) {
        const int found = find(std::string_view(classes).substr(0, cut), "LAYOUT");
        EXPECT_TRUE(found == -1 || found == 502) << "cut at " << cut;
    }
    for (std::size_t at = 16; at < classes.size(); at += 61) {
        std::string damaged = classes;
        damaged[at] = static_cast<char>(damaged[at] ^ 0xA5);
        find(damaged, GetParam().lastClass);  // any answer, never outside the section
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paged, DwgClasses,
    ::testing::Values(Sample{"example_2004.dwg", Release::R2004, "SUN", 534, kExampleLayouts},
                      Sample{"example_2007.dwg", Release::R2007, "SUN", 534, kExampleLayouts},
                      Sample{"example_2010.dwg", Release::R2010, "SUN", 534, kExampleLayouts},
                      Sample{"gh209_1_2010.dwg", Release::R2010, "IRD_OBJ_RECORD", 542,
                             "Layout1:1,Model:0"},
                      Sample{"example_2013.dwg", Release::R2013, "SUN", 534, kExampleLayouts},
                      Sample{"example_2018.dwg", Release::R2018, "SUN", 534, kExampleLayouts}),
    [](const auto& instance) { return parameterName(instance.param.file); });

}  // namespace
}  // namespace drawing::test
