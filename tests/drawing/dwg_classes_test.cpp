// The classes section of the paged releases: every class record is walked, to the last one
// the drawing's DXF twin lists, and a cut or damaged section is only a class not found.

#include <gtest/gtest.h>

#include <QFile>

#include "engine/drawing/dwg/classes.h"
#include "engine/drawing/dwg/sections.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

using dwg::Release;

struct Sample {
    const char* file;
    Release release;
    const char* lastClass;  // the last class of the DXF twin's CLASSES section
    int lastNumber;
};

class DwgClasses : public ::testing::TestWithParam<Sample> {
protected:
    void SetUp() override {
        const QString path =
            QStringLiteral(QUILLON_SHARED_DRAWINGS_DIR "/autocad/") + GetParam().file;
        if (!QFile::exists(path)) GTEST_SKIP() << "no shared drawing " << GetParam().file;
        m_file = readBytes(path);
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

INSTANTIATE_TEST_SUITE_P(Paged, DwgClasses,
                         ::testing::Values(Sample{"example_2004.dwg", Release::R2004, "SUN", 534},
                                           Sample{"example_2007.dwg", Release::R2007, "SUN", 534},
                                           Sample{"example_2010.dwg", Release::R2010, "SUN", 534},
                                           Sample{"gh209_1_2010.dwg", Release::R2010,
                                                  "IRD_OBJ_RECORD", 542},
                                           Sample{"example_2013.dwg", Release::R2013, "SUN", 534},
                                           Sample{"example_2018.dwg", Release::R2018, "SUN", 534}),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
}  // namespace drawing::test
