// SPDX-License-Identifier: GPL-3.0-or-later
// Paths a drawing list or a folder may name that are no drawings to read: devices and pipes.
// Each is an open failure with a reason, reached at once: never a hang or an unbounded read.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <future>

#include "drawing/dxf_reader.h"
#include "drawing/reader_errors.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

TEST(UnreadablePaths, DevicesAndPipesAreRefusedWithoutReadingThem) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList paths;
    if (QFile::exists(u"/dev/zero"_qs)) paths << u"/dev/zero"_qs;
    const QString pipe = dir.filePath(u"drawing.dxf"_qs);
    QProcess mkfifo;
    mkfifo.start(u"mkfifo"_qs, {pipe});
    if (mkfifo.waitForFinished(10000) && mkfifo.exitCode() == 0) paths << pipe;
    if (paths.isEmpty()) GTEST_SKIP() << "neither devices nor named pipes here";
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        auto reading = std::async(std::launch::async, [&path] { return readDrawingFile(path); });
        if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "the read did not end";
            // A writer that goes away at once gives a waiting reader the end of the input.
            QFile writer(path);
            if (writer.open(QIODevice::WriteOnly)) writer.close();
        }
        const auto result = reading.get();
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().number, errors::kFileAccess);
        EXPECT_EQ(result.error().description, path + u" is not a regular file, not a drawing"_qs);
    }
}

}  // namespace
}  // namespace drawing::test
