// SPDX-License-Identifier: GPL-3.0-or-later
// The register on a PostgreSQL server: the same content as the register file for the same
// drawings, the same incremental runs, two indexers at once without duplicates or lost
// drawings, and an older register migrated with its rows.

#include <QDateTime>
#include <QProcess>
#include <latch>
#include <thread>

#include "cli/program_run.h"
#include "support/qt_printers.h"

#ifdef QUILLON_WITH_POSTGRESQL

#include "register/register_schema.h"
#include "search_comparison.h"
#include "server_fixture.h"

namespace {

QString counts(const reg::IndexSummary& s) {
    return QStringLiteral(
               "found %1 unchanged %2 touched %3 read %4 moved %5 missing %6 "
               "forgotten %7 unreadable %8")
        .arg(s.found)
        .arg(s.unchanged)
        .arg(s.touched)
        .arg(s.read)
        .arg(s.moved)
        .arg(s.missing)
        .arg(s.forgotten)
        .arg(s.failures.size());
}

TEST_F(ServerRegisterTest, HoldsWhatTheRegisterFileHolds) {
    // Values the server's array syntax would read otherwise: quotes, backslashes, commas,
    // braces, NULL, and nothing at all.
    QFile original(path("examples/tank-farm.dxf"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArray quoted = original.readAll();
    quoted.replace("\nTransfer pump\r\n", "\nsay \"hi\", {a\\b} NULL\r\n");
    quoted.replace("\nTransfer pump\n", "\nsay \"hi\", {a\\b} NULL\n");
    quoted.replace("\nP-501\r\n", "\n\r\n");
    quoted.replace("\nP-501\n", "\n\n");
    writeFile(path("examples/quoted.dxf"), quoted);

    const reg::IndexSummary file = index(3);
    const reg::IndexSummary server = indexServer(3);
    EXPECT_EQ(counts(server), counts(file));
    EXPECT_GT(file.read, 20);
    const QStringList content = fileContent();
    EXPECT_GT(content.size(), 100);
    EXPECT_EQ(serverContent(), content);
    EXPECT_EQ(serverValue("SELECT version FROM schema_version"),
              QString::number(reg::kSchemaVersion));
    EXPECT_EQ(serverValue("SELECT value FROM attributes WHERE value LIKE 'say%'"),
              "say \"hi\", {a\\b} NULL");
    EXPECT_EQ(serverValue("SELECT count(*) FROM attributes WHERE value = '' AND tag = 'TAG'"), "1");
}

TEST_F(ServerRegisterTest, IndexesOnlyWhatChangedAsTheRegisterFileDoes) {
    const auto setTime = [&](const QString& file) {
        QFile touched(path(file));
        ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
        touched.setFileTime(QDateTime::currentDateTime().addDays(1),
                            QFileDevice::FileModificationTime);
    };
    const struct {
        const char* name;
        std::function<void()> change;
        bool forget;
        const char* expected;
    } steps[] = {
        {"first run", [] {}, false,
         "found 31 unchanged 0 touched 0 read 31 moved 0 missing 0 forgotten 0 unreadable 0"},
        {"nothing changed", [] {}, false,
         "found 31 unchanged 31 touched 0 read 0 moved 0 missing 0 forgotten 0 unreadable 0"},
        {"touched, same content", [&] { setTime("examples/cooling-water.dxf"); }, false,
         "found 31 unchanged 30 touched 1 read 0 moved 0 missing 0 forgotten 0 unreadable 0"},
        {"changed",
         [&] {
             QFile::remove(path("examples/boiler-feed.dxf"));
             QFile::copy(path("examples/tank-farm.dxf"), path("examples/boiler-feed.dxf"));
             setTime("examples/boiler-feed.dxf");
         },
         false,
         "found 31 unchanged 30 touched 0 read 1 moved 0 missing 0 forgotten 0 unreadable 0"},
        {"deleted", [&] { QFile::remove(path("examples/tank-farm.dxf")); }, false,
         "found 30 unchanged 30 touched 0 read 0 moved 0 missing 1 forgotten 0 unreadable 0"},
        {"deleted and forgotten", [] {}, true,
         "found 30 unchanged 30 touched 0 read 0 moved 0 missing 0 forgotten 1 unreadable 0"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        const reg::IndexSummary file = index(2, step.forget);
        const reg::IndexSummary server = indexServer(2, step.forget);
        EXPECT_EQ(counts(file), QString(step.expected));
        EXPECT_EQ(counts(server), QString(step.expected));
        EXPECT_EQ(serverContent(), fileContent());
    }
    EXPECT_EQ(serverValue("SELECT count(*) FROM drawings WHERE path LIKE '%tank-farm.dxf'"), "0");
}

// Two quillon-index runs against one server at once, over folders that overlap, once on new
// drawings and once on changed ones: every drawing is stored once, with its references once.
TEST_F(ServerRegisterTest, TwoIndexersAtOnceStoreEveryDrawingOnce) {
    const auto runTogether = [&] {
        QProcess first;
        QProcess second;
        first.start(QUILLON_INDEX_PROGRAM, {"--server", m_conninfo, "--jobs", "2", m_folder});
        second.start(QUILLON_INDEX_PROGRAM, {"--server", m_conninfo, "--jobs", "2",
                                             path("examples"), path("data"), m_folder});
        for (QProcess* run : {&first, &second}) {
            ASSERT_TRUE(run->waitForFinished(120000));
            EXPECT_EQ(run->exitStatus(), QProcess::NormalExit);
            // 1 at most: a drawing among them cannot be read, but the register was written.
            const QString errors = run->readAllStandardError();
            EXPECT_LE(run->exitCode(), 1) << errors.toStdString();
            EXPECT_FALSE(errors.contains("could not be written")) << errors.toStdString();
        }
    };
    for (const char* round : {"new drawings", "changed drawings"}) {
        SCOPED_TRACE(round);
        if (QString(round) == "changed drawings") {
            // Other content under five known paths: both indexers replace their references.
            const QStringList changed{"data/autocad/example_2000.dwg",
                                      "data/autocad/example_2018.dwg", "examples/tank-farm.dxf",
                                      "data/dynamic/BLOCKXYPARAMETER.dxf",
                                      "data/autocad/block_r2.10.dxf"};
            QList<QByteArray> contents;
            for (const QString& file : changed) {
                QFile original(path(file));
                ASSERT_TRUE(original.open(QIODevice::ReadOnly));
                contents << original.readAll();
            }
            for (qsizetype i = 0; i < changed.size(); ++i)
                writeFile(path(changed[i]), contents[(i + 1) % changed.size()]);
        }
        runTogether();
        index(2);
        EXPECT_EQ(serverContent(), fileContent());
        EXPECT_EQ(serverValue("SELECT count(*) FROM drawings"), "31");
        for (const char* table : {"block_references", "attributes"}) {
            const QString count = QStringLiteral("SELECT count(*) FROM ") + table;
            EXPECT_EQ(serverValue(count), value(count)) << table;
        }
    }
}

// Two runs that both planned every drawing as new before either stored one: each reads and
// stores all of them, and the register holds each once.
TEST_F(ServerRegisterTest, TwoRunsStoringTheSameDrawingsAtOnceStoreEachOnce) {
    index(2);
    std::latch bothPlanned(2);
    std::atomic<bool> started[2] = {false, false};
    const auto indexer = [&](int which, const QStringList& folders) {
        reg::IndexOptions options;
        options.server = m_conninfo;
        options.folders = folders;
        options.jobs = 2;
        // A run's workers start once it has planned: none goes on before the other's have.
        options.reaching = [&, which](const QString&) {
            if (!started[which].exchange(true)) {
                bothPlanned.arrive_and_wait();
            } else {
                bothPlanned.wait();
            }
        };
        const reg::IndexSummary summary = reg::runIndex(options);
        // A run that failed before its workers started must not leave the other waiting.
        if (!started[which].exchange(true)) bothPlanned.count_down();
        return summary;
    };
    reg::IndexSummary first;
    reg::IndexSummary second;
    std::thread other([&] { second = indexer(1, {path("examples"), path("data")}); });
    first = indexer(0, {m_folder});
    other.join();
    for (const reg::IndexSummary* run : {&first, &second}) {
        EXPECT_TRUE(run->error.isEmpty()) << run->error.toStdString();
        EXPECT_EQ(run->read, 31);
    }
    EXPECT_EQ(serverContent(), fileContent());
}

// A register made by the first version: no layouts, no index over the values.
const char* const kFirstServerRegister = R"sql(
CREATE TABLE schema_version (version INTEGER NOT NULL);
INSERT INTO schema_version VALUES (1);
CREATE TABLE drawings (id BIGSERIAL PRIMARY KEY, path TEXT NOT NULL UNIQUE, size BIGINT NOT NULL,
    mtime BIGINT NOT NULL, hash TEXT NOT NULL, release TEXT NOT NULL DEFAULT '',
    read_error TEXT NOT NULL DEFAULT '', missing INTEGER NOT NULL DEFAULT 0,
    indexed_at BIGINT NOT NULL);
CREATE INDEX drawings_by_hash ON drawings (hash);
CREATE TABLE block_references (id BIGSERIAL PRIMARY KEY, drawing_id BIGINT NOT NULL
    REFERENCES drawings (id) ON DELETE CASCADE, handle TEXT NOT NULL, space TEXT NOT NULL,
    block_name TEXT NOT NULL, effective_name TEXT NOT NULL, layer TEXT NOT NULL,
    x DOUBLE PRECISION NOT NULL, y DOUBLE PRECISION NOT NULL, z DOUBLE PRECISION NOT NULL);
CREATE INDEX block_references_by_drawing ON block_references (drawing_id);
CREATE TABLE attributes (id BIGSERIAL PRIMARY KEY, reference_id BIGINT NOT NULL
    REFERENCES block_references (id) ON DELETE CASCADE, tag TEXT NOT NULL,
    value TEXT NOT NULL, handle TEXT NOT NULL);
CREATE INDEX attributes_by_reference ON attributes (reference_id);
INSERT INTO drawings VALUES (7, '/elsewhere/old.dwg', 10, 20, 'abc', 'AC1015', '', 1, 30);
INSERT INTO block_references VALUES (3, 7, '1F', 'PAPER', 'TITLE', 'TITLE', '0', 1, 2, 0);
INSERT INTO attributes VALUES (5, 3, 'DWGNO', 'P-1001 feed pump', '20');
SELECT setval('drawings_id_seq', 7);
SELECT setval('block_references_id_seq', 3);
SELECT setval('attributes_id_seq', 5);
)sql";

TEST_F(ServerRegisterTest, OlderRegisterIsMigratedWithItsRowsAndOthersAreRefused) {
    serverRows(kFirstServerRegister);
    indexServer();
    EXPECT_EQ(serverValue("SELECT version FROM schema_version"),
              QString::number(reg::kSchemaVersion));
    EXPECT_EQ(serverValue("SELECT path, missing FROM drawings WHERE id = 7"),
              "/elsewhere/old.dwg\t1");
    EXPECT_EQ(serverValue("SELECT layout, block_name FROM block_references WHERE id = 3"),
              "\tTITLE");
    EXPECT_EQ(serverValue("SELECT value FROM attributes WHERE id = 5"), "P-1001 feed pump");
    EXPECT_EQ(serverValue("SELECT count(*) FROM drawings"), "32");
    EXPECT_EQ(serverValue("SELECT count(*) FROM pg_indexes WHERE indexname = 'attribute_values'"),
              "1");

    const struct {
        const char* name;
        const char* sql;
    } others[] = {
        {"a later register",
         "CREATE TABLE schema_version (version INTEGER); INSERT INTO schema_version VALUES (99);"},
        {"another program's table", "CREATE TABLE tags (dwgno TEXT);"},
    };
    for (const auto& other : others) {
        SCOPED_TRACE(other.name);
        const QString name = newDatabase();
        ASSERT_FALSE(name.isEmpty());
        const QString conninfo = s_server->conninfo(name);
        serverRows(other.sql, conninfo);
        const reg::IndexSummary summary = [&] {
            reg::IndexOptions options;
            options.server = conninfo;
            options.folders = {m_folder};
            return reg::runIndex(options);
        }();
        EXPECT_FALSE(summary.opened);
        EXPECT_FALSE(summary.error.isEmpty());
        EXPECT_EQ(serverRows("SELECT table_name FROM information_schema.tables WHERE "
                             "table_schema = 'public'",
                             conninfo)
                      .size(),
                  1);
    }
}

TEST_F(ServerRegisterTest, ProgramIndexesAndListsWhatChangedOnTheServer) {
    const QString server = "--server=" + m_conninfo;
    const struct {
        const char* name;
        QStringList arguments;
        int status;
    } runs[] = {
        {"both places", {server, "--database", m_database, m_folder}, 2},
        {"empty conninfo", {"--server", " ", m_folder}, 2},
        {"no server there",
         {"--server", "host=" + m_dir.filePath("nowhere") + " dbname=x", m_folder},
         2},
        {"index", {server, m_folder}, 0},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.name);
        const ProgramRun result = runProgram(QUILLON_INDEX_PROGRAM, run.arguments);
        EXPECT_EQ(result.status, run.status) << result.errors.toStdString();
    }
    writeFile(path("examples/new.dxf"), "0\nEOF\n");
    QFile::remove(path("examples/tank-farm.dxf"));
    writeFile(path("examples/boiler-feed.dxf"), "changed");
    const ProgramRun status = runProgram(QUILLON_INDEX_PROGRAM, {server, "--status", m_folder});
    EXPECT_EQ(status.status, 0) << status.errors.toStdString();
    EXPECT_EQ(status.out.split('\n', Qt::SkipEmptyParts),
              QStringList({"changed\t" + path("examples/boiler-feed.dxf"),
                           "new\t" + path("examples/new.dxf"),
                           "missing\t" + path("examples/tank-farm.dxf")}));
}

TEST_F(ServerRegisterTest, SearchOfTheServerRegisterFindsWhatTheFolderSearchFinds) {
    const QDateTime started = QDateTime::currentDateTimeUtc();
    prepareSearchedFolder();
    indexServer();
    expectRegisterSearchesAsFolder(m_folder, m_conninfo, started);
}

}  // namespace

#else

#include "register_fixture.h"

namespace {

TEST_F(RegisterTest, ServerIsRefusedWhenBuiltWithoutPostgresql) {
    const ProgramRun result =
        runProgram(QUILLON_INDEX_PROGRAM, {"--server", "dbname=drawings", m_folder});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.errors.contains("not available")) << result.errors.toStdString();
}

}  // namespace

#endif
