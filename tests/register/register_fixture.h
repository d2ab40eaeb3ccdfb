// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A folder of real drawings in a temporary folder, a register beside it, and index runs over
// them that count the drawings really read.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>

#include "register/index_run.h"
#include "register/sqlite_connection.h"

class RegisterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        // Resolved as the register resolves the folders it walks.
        m_folder = QFileInfo(m_dir.path()).canonicalFilePath() + "/archive";
        m_database = m_dir.filePath("register.sqlite");
        copyDrawings(QStringLiteral(QUILLON_TEST_DRAWINGS_DIR), m_folder + "/data");
        copyDrawings(QStringLiteral(QUILLON_EXAMPLES_DIR), m_folder + "/examples");
    }

    static void copyDrawings(const QString& from, const QString& to) {
        QDirIterator files(from, {"*.dwg", "*.dxf"}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString source = files.next();
            const QString target = to + "/" + QDir(from).relativeFilePath(source);
            QDir().mkpath(QFileInfo(target).absolutePath());
            ASSERT_TRUE(QFile::copy(source, target)) << target.toStdString();
        }
    }

    // Into the register file, or the PostgreSQL database `server` names.
    reg::IndexSummary index(int jobs = 2, bool forget = false, const QString& database = {},
                            const QString& server = {}) {
        reg::IndexOptions options;
        options.database = database.isEmpty() ? m_database : database;
        options.server = server;
        options.folders = {m_folder};
        options.jobs = jobs;
        options.forgetMissing = forget;
        options.drawingsPerTransaction = 4;  // several transactions even in a small folder
        options.read = [this](const QString& path) {
            ++m_reads;
            return drawing::readDrawingFile(path);
        };
        options.reaching = m_reaching;
        options.cancel = &m_cancel;
        m_reads = 0;
        reg::IndexSummary summary = reg::runIndex(options);
        EXPECT_TRUE(summary.error.isEmpty()) << summary.error.toStdString();
        return summary;
    }

    std::shared_ptr<reg::Connection> connect() {
        auto opened = reg::Connection::open(m_database, false);
        EXPECT_TRUE(opened.ok());
        return opened ? opened.value() : nullptr;
    }

    // The rows of one query, each as its columns joined by tabs.
    QStringList rows(const QString& sql) {
        QStringList found;
        auto connection = connect();
        if (!connection) return found;
        reg::Statement query = connection->prepare(sql);
        EXPECT_TRUE(query.ok()) << sql.toStdString();
        const int columns = query.columnCount();
        while (query.next()) {
            QStringList row;
            for (int i = 0; i < columns; ++i) row << query.text(i);
            found << row.join('\t');
        }
        return found;
    }

    QString value(const QString& sql) { return rows(sql).value(0); }

    // The value index finds every stored value (of three characters or more) where the values
    // themselves are: its triggers kept it current through the runs.
    void expectValueIndexAgrees() {
        const QStringList values = rows(
            "SELECT DISTINCT value FROM attributes WHERE length(value) >= 3 AND value NOT LIKE "
            "'%''%'");
        ASSERT_FALSE(values.isEmpty());
        for (const QString& text : values) {
            const QString like = "LIKE '%" + text + "%'";
            EXPECT_EQ(value("SELECT count(*) FROM attribute_values WHERE value " + like),
                      value("SELECT count(*) FROM attributes WHERE value " + like))
                << text.toStdString();
        }
    }

    qint64 idOf(const QString& path) {
        return value("SELECT id FROM drawings WHERE path = '" + path + "'").toLongLong();
    }

    // The whole register but for ids and times: what two runs that agree have in common.
    QStringList content() {
        return rows(
            "SELECT d.path, d.size, d.hash, d.release, d.read_error, d.missing, r.handle, "
            "r.space, r.layout, r.block_name, r.effective_name, r.layer, r.x, r.y, r.z, a.tag, "
            "a.value, a.handle FROM drawings d LEFT JOIN block_references r ON r.drawing_id = "
            "d.id LEFT JOIN attributes a ON a.reference_id = r.id ORDER BY d.path, r.id, a.id");
    }

    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QString path(const QString& relative) const { return m_folder + "/" + relative; }

    // Beside the drawings the searches compare: one that cannot be read, and a hidden one.
    void prepareSearchedFolder() {
        writeFile(path("examples/broken.dxf"), "0\nSECTION\n2\nENTITIES\n0\nINSERT\n");
        ASSERT_TRUE(QFile::copy(path("examples/tank-farm.dxf"), path("examples/.hidden.dxf")));
    }

    QTemporaryDir m_dir;
    QString m_folder;
    QString m_database;
    std::atomic<int> m_reads{0};
    std::function<void(const QString&)> m_reaching;
    std::atomic<bool> m_cancel{false};
};
