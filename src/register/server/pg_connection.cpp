// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/server/pg_connection.h"

#include <libpq-fe.h>

#include <QLocale>

namespace reg::pg {

Result::~Result() {
    PQclear(m_result);
}

bool Result::ok() const {
    if (!m_result) return false;
    const ExecStatusType status = PQresultStatus(m_result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

QString Result::state() const {
    if (ok()) return {};
    const char* state = m_result ? PQresultErrorField(m_result, PG_DIAG_SQLSTATE) : nullptr;
    return QString::fromLatin1(state ? state : "");
}

int Result::rows() const {
    return m_result ? PQntuples(m_result) : 0;
}

int Result::columns() const {
    return m_result ? PQnfields(m_result) : 0;
}

QString Result::text(int row, int column) const {
    return QString::fromUtf8(PQgetvalue(m_result, row, column), PQgetlength(m_result, row, column));
}

qint64 Result::integer(int row, int column) const {
    return QByteArray(PQgetvalue(m_result, row, column)).toLongLong();
}

double Result::real(int row, int column) const {
    return QByteArray(PQgetvalue(m_result, row, column)).toDouble();
}

core::Result<std::unique_ptr<Connection>> Connection::open(const QString& conninfo) {
    pg_conn* connection = PQconnectdb(conninfo.toUtf8().constData());
    if (!connection || PQstatus(connection) != CONNECTION_OK) {
        const QString reason = connection ? QString::fromUtf8(PQerrorMessage(connection)).trimmed()
                                          : QStringLiteral("out of memory");
        PQfinish(connection);
        return core::Error{1, reason};
    }
    // Text goes both ways as UTF-8, whatever the server's and the user's settings say.
    if (PQsetClientEncoding(connection, "UTF8") != 0) {
        const QString reason = QString::fromUtf8(PQerrorMessage(connection)).trimmed();
        PQfinish(connection);
        return core::Error{1, reason};
    }
    return std::unique_ptr<Connection>(new Connection(connection));
}

Connection::~Connection() {
    PQfinish(m_connection);
}

Result Connection::execute(const QString& sql) {
    return Result(PQexec(m_connection, sql.toUtf8().constData()));
}

namespace {

std::vector<const char*> values(const Params& params) {
    std::vector<const char*> pointers;
    pointers.reserve(params.size());
    for (const QByteArray& param : params) pointers.push_back(param.constData());
    return pointers;
}

}  // namespace

Result Connection::run(const QString& sql, const Params& params) {
    const std::vector<const char*> pointers = values(params);
    return Result(PQexecParams(m_connection, sql.toUtf8().constData(),
                               static_cast<int>(params.size()), nullptr, pointers.data(), nullptr,
                               nullptr, 0));
}

bool Connection::prepare(const char* name, const QString& sql) {
    return Result(PQprepare(m_connection, name, sql.toUtf8().constData(), 0, nullptr)).ok();
}

Result Connection::runPrepared(const char* name, const Params& params) {
    const std::vector<const char*> pointers = values(params);
    return Result(PQexecPrepared(m_connection, name, static_cast<int>(params.size()),
                                 pointers.data(), nullptr, nullptr, 0));
}

QString Connection::lastError() const {
    return QString::fromUtf8(PQerrorMessage(m_connection)).trimmed();
}

QByteArray param(const QString& text) {
    return text.toUtf8();
}

QByteArray param(qint64 number) {
    return QByteArray::number(number);
}

QByteArray param(double number) {
    return QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
}

void ArrayParam::append(const QByteArray& element) {
    m_array += m_array.isEmpty() ? "{\"" : ",\"";
    for (const char c : element) {
        if (c == '"' || c == '\\') m_array += '\\';
        m_array += c;
    }
    m_array += '"';
}

QByteArray ArrayParam::take() {
    QByteArray array = m_array.isEmpty() ? QByteArray("{") : std::move(m_array);
    m_array.clear();
    return array + '}';
}

}  // namespace reg::pg
