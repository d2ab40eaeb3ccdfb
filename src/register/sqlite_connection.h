// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A thin owner of one SQLite connection and its prepared statements. A connection belongs to
// one thread at a time: SQLite's own locking makes two connections to one file safe, never two
// threads on one connection without a hand-over (a join) between them.

#include <QString>
#include <memory>

#include "core/result.h"

struct sqlite3;
struct sqlite3_stmt;

namespace reg {

class Statement;

class Connection {
public:
    // Opens (creating when `create`) the database file at `path`.
    static core::Result<std::shared_ptr<Connection>> open(const QString& path, bool create);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    core::Status execute(const QString& sql);
    Statement prepare(const QString& sql);
    QString lastError() const;
    sqlite3* handle() const { return m_db; }
    qint64 lastInsertId() const;

private:
    explicit Connection(sqlite3* db) : m_db(db) {}
    sqlite3* m_db = nullptr;
};

// One prepared statement, finalised on every way out. Binding indices start at 1, columns at 0.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& operator=(Statement&&) = delete;

    bool ok() const { return m_statement != nullptr; }
    Statement& bind(int index, const QString& text);
    Statement& bind(int index, qint64 number);
    Statement& bind(int index, double number);
    // Runs a statement that returns no rows; false on failure.
    bool run();
    // Steps to the next row; false at the end or on failure (then failed() says so).
    bool next();
    bool failed() const { return m_failed; }
    QString text(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    int columnCount() const;
    // Ready for the next binding and run.
    void reset();

private:
    sqlite3_stmt* m_statement = nullptr;
    bool m_failed = false;
};

}  // namespace reg
