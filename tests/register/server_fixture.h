// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The register tests against a PostgreSQL server: one throw-away server for the whole suite,
// an empty database of its own for each test, and the register's content read back from both
// kinds of register in one form, so the two can be compared.

#include "register/server/pg_connection.h"
#include "register_fixture.h"
#include "support/postgres_server.h"

class ServerRegisterTest : public RegisterTest {
protected:
    static void SetUpTestSuite() { s_server = new PostgresServer; }
    static void TearDownTestSuite() {
        delete s_server;
        s_server = nullptr;
    }

    void SetUp() override {
        RegisterTest::SetUp();
        if (!s_server->running()) {
            if (s_server->missing()) GTEST_SKIP() << s_server->problem().toStdString();
            FAIL() << s_server->problem().toStdString();
        }
        const QString name = newDatabase();
        ASSERT_FALSE(name.isEmpty()) << s_server->problem().toStdString();
        m_conninfo = s_server->conninfo(name);
    }

    static QString newDatabase() {
        static int made = 0;
        const QString name = QStringLiteral("register_%1").arg(++made);
        return s_server->createDatabase(name) ? name : QString();
    }

    reg::IndexSummary indexServer(int jobs = 2, bool forget = false) {
        return index(jobs, forget, {}, m_conninfo);
    }

    // The rows of a query on the server, each as its columns joined by tabs.
    QStringList serverRows(const QString& sql, const QString& conninfo = {}) {
        QStringList found;
        auto connection = reg::pg::Connection::open(conninfo.isEmpty() ? m_conninfo : conninfo);
        EXPECT_TRUE(connection.ok());
        if (!connection) return found;
        reg::pg::Result result = connection.value()->execute(sql);
        EXPECT_TRUE(result.ok()) << sql.toStdString() << ": "
                                 << connection.value()->lastError().toStdString();
        for (int row = 0; row < result.rows(); ++row) {
            QStringList columns;
            for (int column = 0; column < result.columns(); ++column)
                columns << result.text(row, column);
            found << columns.join('\t');
        }
        return found;
    }

    QString serverValue(const QString& sql) { return serverRows(sql).value(0); }

    // The whole register but for ids and times, the coordinates written exactly.
    static QString contentQuery() {
        return QStringLiteral(
            "SELECT d.path, d.size, d.hash, d.release, d.read_error, d.missing, r.handle, "
            "r.space, r.layout, r.block_name, r.effective_name, r.layer, a.tag, a.value, "
            "a.handle, r.x, r.y, r.z FROM drawings d LEFT JOIN block_references r ON "
            "r.drawing_id = d.id LEFT JOIN attributes a ON a.reference_id = r.id "
            "ORDER BY d.path, r.id, a.id");
    }
    static QString exactly(const QString& text, double number) {
        return text.isEmpty() ? QString() : QString::asprintf("%.17g", number);
    }

    QStringList serverContent() {
        QStringList found;
        auto connection = reg::pg::Connection::open(m_conninfo);
        EXPECT_TRUE(connection.ok());
        if (!connection) return found;
        reg::pg::Result result = connection.value()->execute(contentQuery());
        EXPECT_TRUE(result.ok());
        for (int row = 0; row < result.rows(); ++row) {
            QStringList columns;
            for (int column = 0; column < 15; ++column) columns << result.text(row, column);
            for (int column = 15; column < 18; ++column)
                columns << exactly(result.text(row, column), result.real(row, column));
            found << columns.join('\t');
        }
        return found;
    }

    QStringList fileContent() {
        QStringList found;
        auto connection = connect();
        if (!connection) return found;
        reg::Statement query = connection->prepare(contentQuery());
        while (query.next()) {
            QStringList columns;
            for (int column = 0; column < 15; ++column) columns << query.text(column);
            for (int column = 15; column < 18; ++column)
                columns << exactly(query.text(column), query.real(column));
            found << columns.join('\t');
        }
        return found;
    }

    static inline PostgresServer* s_server = nullptr;
    QString m_conninfo;
};
