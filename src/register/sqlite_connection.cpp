// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/sqlite_connection.h"

#include <sqlite3.h>

namespace reg {

core::Result<std::shared_ptr<Connection>> Connection::open(const QString& path, bool create) {
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int status = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (status != SQLITE_OK) {
        const QString reason = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(status));
        sqlite3_close(db);
        return core::Error{status, reason};
    }
    // A busy database (another indexer, a reader in the sqlite3 tool) is waited for a while
    // rather than failing the run at once.
    sqlite3_busy_timeout(db, 10000);
    return std::shared_ptr<Connection>(new Connection(db));
}

Connection::~Connection() {
    sqlite3_close_v2(m_db);
}

core::Status Connection::execute(const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK) {
        return core::success();
    }
    core::Error error{sqlite3_errcode(m_db), QString::fromUtf8(message ? message : "")};
    sqlite3_free(message);
    return error;
}

Statement Connection::prepare(const QString& sql) {
    return Statement(m_db, sql);
}

QString Connection::lastError() const {
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

qint64 Connection::lastInsertId() const {
    return sqlite3_last_insert_rowid(m_db);
}

Statement::Statement(sqlite3* db, const QString& sql) {
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &m_statement,
                           nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        m_failed = true;
    }
}

Statement::~Statement() {
    sqlite3_finalize(m_statement);
}

Statement::Statement(Statement&& other) noexcept
    : m_statement(other.m_statement), m_failed(other.m_failed) {
    other.m_statement = nullptr;
}

Statement& Statement::bind(int index, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    if (m_statement &&
        sqlite3_bind_text(m_statement, index, bytes.constData(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK) {
        m_failed = true;
    }
    return *this;
}

Statement& Statement::bind(int index, qint64 number) {
    if (m_statement && sqlite3_bind_int64(m_statement, index, number) != SQLITE_OK) m_failed = true;
    return *this;
}

Statement& Statement::bind(int index, double number) {
    if (m_statement && sqlite3_bind_double(m_statement, index, number) != SQLITE_OK)
        m_failed = true;
    return *this;
}

bool Statement::run() {
    if (!m_statement || m_failed) return false;
    const int status = sqlite3_step(m_statement);
    sqlite3_reset(m_statement);
    if (status != SQLITE_DONE && status != SQLITE_ROW) m_failed = true;
    return !m_failed;
}

bool Statement::next() {
    if (!m_statement || m_failed) return false;
    const int status = sqlite3_step(m_statement);
    if (status == SQLITE_ROW) return true;
    if (status != SQLITE_DONE) m_failed = true;
    return false;
}

QString Statement::text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement, column));
}

qint64 Statement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(m_statement, column);
}

int Statement::columnCount() const {
    return sqlite3_column_count(m_statement);
}

void Statement::reset() {
    if (m_statement) {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
}

}  // namespace reg
