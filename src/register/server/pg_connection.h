// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A thin owner of one libpq connection and its results. Like a SQLite connection it belongs to
// one thread at a time; the server itself keeps many connections apart.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "core/result.h"

struct pg_conn;
struct pg_result;

namespace reg::pg {

// One result, cleared on every way out. Rows and columns start at 0; every value arrives as
// text (the protocol's text format), converted here.
class Result {
public:
    explicit Result(pg_result* result) : m_result(result) {}
    ~Result();
    Result(Result&& other) noexcept : m_result(other.m_result) { other.m_result = nullptr; }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    Result& operator=(Result&&) = delete;

    // The command ran (with or without rows).
    bool ok() const;
    // The SQLSTATE of a failure ("40P01"), empty when it ran.
    QString state() const;
    int rows() const;
    int columns() const;
    QString text(int row, int column) const;
    qint64 integer(int row, int column) const;
    double real(int row, int column) const;

private:
    pg_result* m_result = nullptr;
};

using Params = std::vector<QByteArray>;

class Connection {
public:
    static core::Result<std::unique_ptr<Connection>> open(const QString& conninfo);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // One or more statements without parameters.
    Result execute(const QString& sql);
    Result run(const QString& sql, const Params& params);
    bool prepare(const char* name, const QString& sql);
    Result runPrepared(const char* name, const Params& params);
    QString lastError() const;

private:
    explicit Connection(pg_conn* connection) : m_connection(connection) {}
    pg_conn* m_connection = nullptr;
};

QByteArray param(const QString& text);
QByteArray param(qint64 number);
// Exactly: the shortest text that reads back as the same double.
QByteArray param(double number);
// An array in the server's array syntax, built an element at a time: every element quoted, so
// none is read as NULL. Numbers go in as their param() text.
class ArrayParam {
public:
    void append(const QByteArray& element);
    void append(const QString& text) { append(text.toUtf8()); }
    // The array ("{...}"); the builder is empty afterwards.
    QByteArray take();

private:
    QByteArray m_array;
};

}  // namespace reg::pg
