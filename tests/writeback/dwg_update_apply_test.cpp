// SPDX-License-Identifier: GPL-3.0-or-later
// A plan applied to AutoCAD's own drawings of every release from R13 to R2018: the value is
// written, the backup holds the old file, and the undo file brings the old values back.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "drawing/dxf_reader.h"
#include "support/files.h"
#include "writeback/apply_update.h"
#include "writeback/delimited_file.h"
#include "writeback/update_plan.h"

namespace {

using writeback::ValueStatus;

const QString kDrawings = QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad/");

writeback::UpdatePlan planFor(const QString& folder, const QStringList& row) {
    writeback::EditTable table;
    table.header = {"DRAWING_NAME", "BLOCK_HANDLE", row.size() > 2 ? "ETIKEDO" : ""};
    table.rows = {row};
    const auto columns = writeback::editColumns(table);
    EXPECT_TRUE(columns) << columns.error().description.toStdString();
    if (!columns) return {};
    writeback::UpdateOptions options;
    options.folder = folder;
    return writeback::planUpdate(table, columns.value(), options);
}

QString valueOf(const QString& path, const QString& insertHandle) {
    const auto model = drawing::readDrawingFile(path);
    EXPECT_TRUE(model) << model.error().description.toStdString();
    if (!model) return {};
    for (const auto& insert : model.value()->inserts) {
        if (insert.handle.toQString() == insertHandle && insert.attributeCount > 0)
            return model.value()->attributes[insert.firstAttribute].text;
    }
    return QStringLiteral("(no such reference)");
}

class DwgUpdate : public testing::TestWithParam<const char*> {};

TEST_P(DwgUpdate, PlanApplyAndUndo) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("drawing.dwg");
    ASSERT_TRUE(QFile::copy(kDrawings + GetParam(), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray original = testfiles::read(path);
    const QString before = valueOf(path, "190");

    const QString value = QString::fromUtf8("Nova valoro: \xC3\xA9 \xCE\xA9");
    const writeback::UpdatePlan planned = planFor(dir.path(), {path, "190", value});
    ASSERT_EQ(planned.drawings.size(), 1u);
    EXPECT_TRUE(planned.drawings[0].refusal.isEmpty()) << planned.drawings[0].refusal.toStdString();
    ASSERT_EQ(planned.count(ValueStatus::Change), 1);
    const QString undo = dir.filePath("undo.csv");
    const writeback::ApplyResult applied =
        writeback::applyUpdate(planned, {}, {writeback::SourceKind::TextFile, undo, {}});
    ASSERT_EQ(applied.written(), 1) << applied.drawings[0].reason.toStdString();
    EXPECT_EQ(valueOf(path, "190"), value);
    EXPECT_EQ(testfiles::read(dir.filePath("drawing.bak")), original);

    const auto read = writeback::readDelimitedFile(undo);
    ASSERT_TRUE(read) << read.error().description.toStdString();
    const auto columns = writeback::editColumns(read.value());
    ASSERT_TRUE(columns);
    const writeback::UpdatePlan back = writeback::planUpdate(read.value(), columns.value(), {});
    EXPECT_EQ(back.count(ValueStatus::Change), 1);
    EXPECT_EQ(writeback::applyUpdate(back, {}, {}).written(), 1);
    EXPECT_EQ(valueOf(path, "190"), before);
}

INSTANTIATE_TEST_SUITE_P(AutoCad, DwgUpdate,
                         testing::Values("example_r13.dwg", "example_r14.dwg", "example_2000.dwg",
                                         "example_2004.dwg", "example_2007.dwg", "example_2010.dwg",
                                         "example_2013.dwg", "example_2018.dwg"));

// A drawing the reader cannot read whole is never written: its check values fail or it ends
// early. The plan refuses it with the reason and its bytes stay as they were.
TEST(DwgUpdateRefusals, DamagedDrawingsAreRefusedInThePlan) {
    const struct {
        const char* name;
        const char* file;
        std::function<void(QByteArray&)> damage;
    } cases[] = {
        {"a data page whose checksum fails", "example_2018.dwg",
         [](QByteArray& bytes) { bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x5A); }},
        {"an R2000 file cut in half", "example_2000.dwg",
         [](QByteArray& bytes) { bytes.truncate(bytes.size() / 2); }},
        {"an R2007 file cut short", "example_2007.dwg",
         [](QByteArray& bytes) { bytes.truncate(bytes.size() - 4096); }},
        {"an R14 file header whose check value fails", "example_r14.dwg",
         [](QByteArray& bytes) { bytes[0x16] = char(bytes[0x16] ^ 0x01); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath("drawing.dwg");
        QByteArray bytes = testfiles::read(kDrawings + c.file);
        c.damage(bytes);
        testfiles::write(path, bytes);
        const writeback::UpdatePlan planned = planFor(dir.path(), {path, "190", "new value"});
        ASSERT_EQ(planned.drawings.size(), 1u);
        EXPECT_FALSE(planned.drawings[0].refusal.isEmpty());
        EXPECT_EQ(planned.count(ValueStatus::Change), 0);
        EXPECT_EQ(writeback::applyUpdate(planned, {}, {}).written(), 0);
        EXPECT_EQ(testfiles::read(path), bytes);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no backup, no new file";
    }
}

}  // namespace
