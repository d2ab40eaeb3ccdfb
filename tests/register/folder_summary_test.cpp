// SPDX-License-Identifier: GPL-3.0-or-later
// What a register holds of one folder: its drawings, those that could not be read, those gone,
// and when the newest entry was stored; the same from a file and from a server.

#include <QDateTime>
#include <QThread>

#include "register/register_database.h"
#include "server_fixture.h"
#include "support/qt_printers.h"

namespace {

// The state the summaries are taken in: one drawing broken, one deleted since indexed.
template <typename Index>
void breakOneAndDeleteOne(const QString& folder, Index index) {
    QFile broken(folder + "/examples/broken.dxf");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("0\nSECTION\n2\nENTITIES\n0\nINSERT\n");
    broken.close();
    index();
    ASSERT_TRUE(QFile::remove(folder + "/examples/tank-farm.dxf"));
    index();
}

qint64 drawingsOnDisk(const QString& folder) {
    qint64 count = 0;
    QDirIterator files(folder, {"*.dwg", "*.dxf"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        files.next();
        ++count;
    }
    return count;
}

TEST_F(RegisterTest, FolderSummaryCountsWhatTheRegisterHoldsUnderAFolder) {
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    breakOneAndDeleteOne(m_folder, [this] { index(); });
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    auto opened = reg::openFileRegister(m_database);
    ASSERT_TRUE(opened.ok());
    reg::RegisterDatabase& database = *opened.value();

    const auto examples = database.folderSummary(m_folder + "/examples/");
    ASSERT_TRUE(examples.ok());
    EXPECT_EQ(examples.value().drawings, drawingsOnDisk(m_folder + "/examples"));
    EXPECT_EQ(examples.value().unreadable, 1);
    EXPECT_EQ(examples.value().missing, 1);
    EXPECT_GE(examples.value().newestEntry, before);
    EXPECT_LE(examples.value().newestEntry, after);

    const auto whole = database.folderSummary(m_folder + "/");
    ASSERT_TRUE(whole.ok());
    EXPECT_EQ(whole.value().drawings, drawingsOnDisk(m_folder));
    const auto nothing = database.folderSummary(m_folder + "/exam/");
    ASSERT_TRUE(nothing.ok());
    EXPECT_EQ(nothing.value().drawings + nothing.value().missing, 0);
    EXPECT_EQ(nothing.value().newestEntry, 0);
    EXPECT_EQ(nothing.value().lastIndexed, whole.value().lastIndexed);  // walked, empty
}

// A run walked to its end is when a folder was last indexed, even when it stored nothing; a
// stopped one is not. A folder's run counts for the folders in it, not for those around it.
TEST_F(RegisterTest, FolderIsLastIndexedWhenARunOverItEnded) {
    const auto summary = [this](const QString& prefix) {
        auto opened = reg::openFileRegister(m_database);
        EXPECT_TRUE(opened.ok());
        return opened ? opened.value()->folderSummary(prefix).value() : reg::FolderSummary{};
    };
    const QString examples = m_folder + "/examples/";
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    reg::IndexOptions options;
    options.database = m_database;
    options.folders = {m_folder + "/examples"};
    reg::runIndex(options);
    const reg::FolderSummary first = summary(examples);
    EXPECT_GE(first.lastIndexed, before);
    EXPECT_GE(first.lastIndexed, first.newestEntry);
    EXPECT_EQ(summary(m_folder + "/").lastIndexed, 0);  // only part of it was walked

    QThread::msleep(5);
    reg::runIndex(options);  // nothing changed: nothing stored, but indexed
    const reg::FolderSummary second = summary(examples);
    EXPECT_EQ(second.newestEntry, first.newestEntry);
    EXPECT_GT(second.lastIndexed, first.lastIndexed);

    std::atomic<bool> cancel{true};
    options.folders = {m_folder};
    options.cancel = &cancel;
    EXPECT_TRUE(reg::runIndex(options).cancelled);
    EXPECT_EQ(summary(m_folder + "/").lastIndexed, 0);
    EXPECT_EQ(summary(examples).lastIndexed, second.lastIndexed);

    options.cancel = nullptr;
    reg::runIndex(options);
    EXPECT_GT(summary(examples).lastIndexed, second.lastIndexed);
    EXPECT_EQ(summary(m_folder + "/data/").lastIndexed, summary(m_folder + "/").lastIndexed);
}

TEST_F(ServerRegisterTest, FolderSummaryOnAServerIsTheFileRegistersOne) {
    breakOneAndDeleteOne(m_folder, [this] {
        index();
        indexServer();
    });
    auto file = reg::openFileRegister(m_database);
    auto server = reg::openServerRegister(m_conninfo);
    ASSERT_TRUE(file.ok());
    ASSERT_TRUE(server.ok());
    for (const QString& prefix :
         {m_folder + "/", m_folder + "/examples/", m_folder + "/data/", m_folder + "/none/"}) {
        SCOPED_TRACE(prefix.toStdString());
        const auto fromFile = file.value()->folderSummary(prefix);
        const auto fromServer = server.value()->folderSummary(prefix);
        ASSERT_TRUE(fromFile.ok());
        ASSERT_TRUE(fromServer.ok());
        EXPECT_EQ(fromServer.value().drawings, fromFile.value().drawings);
        EXPECT_EQ(fromServer.value().unreadable, fromFile.value().unreadable);
        EXPECT_EQ(fromServer.value().missing, fromFile.value().missing);
        EXPECT_EQ(fromServer.value().newestEntry > 0, fromFile.value().newestEntry > 0);
        EXPECT_EQ(fromServer.value().lastIndexed > 0, fromFile.value().lastIndexed > 0);
    }
}

}  // namespace
