// SPDX-License-Identifier: GPL-3.0-or-later
// Paths a drawing list or a folder may name that are no drawings to read whole: missing files,
// folders, devices and pipes, and files of several GB that only begin like a DWG file. Each is
// an open failure with a reason, reached at once: never a hang, an unbounded read or a read of
// gigabytes.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <future>
#include <optional>
#include <tuple>
#include <vector>

#include "drawing/dxf_reader.h"
#include "drawing/reader_errors.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

// The bytes this process has read from files so far, where the system tells (Linux).
std::optional<qint64> bytesRead() {
    QFile io(u"/proc/self/io"_qs);
    if (!io.open(QIODevice::ReadOnly)) return std::nullopt;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:")) return line.mid(6).trimmed().toLongLong();
    return std::nullopt;
}

TEST(UnreadablePaths, AreRefusedWithAReasonWithoutReadingThem) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(u"none.dxf"_qs);
    std::vector<std::tuple<QString, long, QString>> cases = {
        {missing, errors::kFileNotFound, u"file not found: "_qs + missing},
        {dir.path(), errors::kFileAccess, dir.path() + u" is a folder, not a drawing"_qs}};
    const QString notAFile = u" is not a regular file, not a drawing"_qs;
    if (QFile::exists(u"/dev/zero"_qs))
        cases.emplace_back(u"/dev/zero"_qs, errors::kFileAccess, u"/dev/zero"_qs + notAFile);
    const QString pipe = dir.filePath(u"drawing.dxf"_qs);
    QProcess mkfifo;
    mkfifo.start(u"mkfifo"_qs, {pipe});
    if (mkfifo.waitForFinished(10000) && mkfifo.exitCode() == 0)
        cases.emplace_back(pipe, errors::kFileAccess, pipe + notAFile);
    for (const auto& [path, number, description] : cases) {
        SCOPED_TRACE(path.toStdString());
        // A copy to capture: clang before 16 cannot capture a structured binding.
        auto reading =
            std::async(std::launch::async, [file = path] { return readDrawingFile(file); });
        if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "the read did not end";
            // A writer that goes away at once gives a waiting reader the end of the input.
            QFile writer(path);
            if (writer.open(QIODevice::WriteOnly)) writer.close();
        }
        const auto result = reading.get();
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().number, number);
        EXPECT_EQ(result.error().description, description);
    }
}

// A file that begins with a DWG release string is refused by its header, which is checked
// against the file's size before more than its first bytes are read; a real drawing followed
// by a long stretch of nothing is read up to where its header says it ends.
TEST(UnreadablePaths, HugeFilesThatBeginLikeDwgAreCheckedBeforeTheyAreRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    constexpr qint64 kGiB = qint64{1} << 30;
    struct Case {
        std::string name;
        QByteArray head;
        qint64 size;
        bool readable;
    };
    std::vector<Case> cases = {
        {"drawing of 2000, then nothing",
         QByteArray::fromStdString(autocadBytes(u"example_2000.dwg"_qs)), 5 * kGiB, true},
        {"drawing of R11, then nothing",
         QByteArray::fromStdString(autocadBytes(u"entities-2d_r11.dwg"_qs)), 3 * kGiB, true},
        {"release string of 2000", "AC1015", 5 * kGiB, false},
    };
    for (const char* release : {"AC1032", "AC1018", "AC1021", "AC1012", "AC1009"})
        cases.push_back({std::string("release string ") + release, release, 3 * kGiB, false});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(u"huge.dwg"_qs);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(c.head), c.head.size());
        ASSERT_TRUE(file.resize(c.size));  // the rest is a hole: it takes no disk space
        file.close();

        const std::optional<qint64> before = bytesRead();
        const auto result = readDrawingFile(path);
        const std::optional<qint64> after = bytesRead();
        if (before && after) {
            EXPECT_LT(*after - *before, c.head.size() + (qint64{16} << 20))
                << "bytes read of a file of " << c.size;
        }
        if (c.readable) {
            ASSERT_TRUE(result.ok()) << result.error().description.toStdString();
            EXPECT_FALSE(result.value()->inserts.empty());
        } else {
            ASSERT_FALSE(result.ok());
            EXPECT_EQ(result.error().number, errors::kMalformed);
            EXPECT_FALSE(result.error().description.isEmpty());
        }
        QFile::remove(path);
    }
}

}  // namespace
}  // namespace drawing::test
