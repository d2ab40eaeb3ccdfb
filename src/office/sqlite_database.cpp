// SPDX-License-Identifier: GPL-3.0-or-later
#include "office/sqlite_database.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace office {
namespace {

Error sqliteError(sqlite3* db, const QString& what) {
    return Error{db ? sqlite3_errcode(db) : SQLITE_CANTOPEN,
                 what + QStringLiteral(": ") +
                     QString::fromUtf8(db ? sqlite3_errmsg(db) : "cannot open the file")};
}

QString quotedName(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// One prepared statement, finalised on every way out.
class Statement {
public:
    Statement(sqlite3* db, const QString& sql) {
        const QByteArray text = sql.toUtf8();
        m_status = sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()),
                                      &m_statement, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool ok() const { return m_status == SQLITE_OK && m_statement; }
    sqlite3_stmt* get() const { return m_statement; }

private:
    sqlite3_stmt* m_statement = nullptr;
    int m_status = SQLITE_ERROR;
};

Status execute(sqlite3* db, const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK) {
        return core::success();
    }
    Error error{sqlite3_errcode(db), QString::fromUtf8(message ? message : "")};
    sqlite3_free(message);
    return error;
}

struct Column {
    QString name;
    enum class Kind { Integer, Real, Other } kind = Kind::Other;
};

// The column affinity rules of SQLite, reduced to what decides a conversion.
Column::Kind kindOf(const QString& declared) {
    const QString type = declared.toUpper();
    if (type.contains(QLatin1String("INT"))) return Column::Kind::Integer;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB")) || type.contains(QLatin1String("NUMERIC")) ||
        type.contains(QLatin1String("DECIMAL"))) {
        return Column::Kind::Real;
    }
    return Column::Kind::Other;
}

// A number written with the user's decimal character (or a point) in C form, or nothing when
// the text is no number. A text with both a point and a decimal comma is ambiguous: no number.
std::optional<QString> realText(const QString& value, QChar decimalPoint) {
    QString candidate = value.trimmed();
    if (decimalPoint != QLatin1Char('.')) {
        if (candidate.contains(QLatin1Char('.')) && candidate.contains(decimalPoint)) {
            return std::nullopt;
        }
        candidate.replace(decimalPoint, QLatin1Char('.'));
    }
    bool converts = false;
    const double number = candidate.toDouble(&converts);
    if (!converts || !std::isfinite(number)) return std::nullopt;
    return candidate;
}

class SqliteRecordset : public Recordset {
public:
    SqliteRecordset(sqlite3* db, QString table, std::vector<Column> columns, QChar decimalPoint)
        : m_db(db),
          m_table(std::move(table)),
          m_columns(std::move(columns)),
          m_decimalPoint(decimalPoint) {}

    Result<int> FieldCount() const override { return static_cast<int>(m_columns.size()); }
    Result<QString> FieldName(int index) const override {
        if (index < 0 || index >= static_cast<int>(m_columns.size())) {
            return Error{3265, QStringLiteral("Item not found in this collection.")};
        }
        return m_columns[static_cast<size_t>(index)].name;
    }
    Result<int> RecordCount() override {
        Statement count(m_db, QStringLiteral("SELECT count(*) FROM ") + quotedName(m_table));
        if (!count.ok() || sqlite3_step(count.get()) != SQLITE_ROW) {
            return sqliteError(m_db, QStringLiteral("Counting rows"));
        }
        return sqlite3_column_int(count.get(), 0);
    }
    Status DeleteAll() override {
        // Stored only by the commit that stores the new rows: a send that fails keeps the old.
        return execute(m_db, QStringLiteral("DELETE FROM ") + quotedName(m_table));
    }
    Status AddNew() override {
        m_row.assign(m_columns.size(), std::nullopt);
        return core::success();
    }
    Status SetField(int index, const QString& value) override {
        if (index < 0 || index >= static_cast<int>(m_columns.size())) {
            return Error{3265, QStringLiteral("Item not found in this collection.")};
        }
        bool converts = true;
        QString stored = value;
        switch (m_columns[static_cast<size_t>(index)].kind) {
            case Column::Kind::Integer:
                value.trimmed().toLongLong(&converts);
                break;
            case Column::Kind::Real:
                if (const auto number = realText(value, m_decimalPoint)) {
                    stored = *number;
                } else {
                    converts = false;
                }
                break;
            case Column::Kind::Other:
                break;
        }
        if (!converts) return Error{3421, QStringLiteral("Data type conversion error.")};
        m_row[static_cast<size_t>(index)] = stored;
        return core::success();
    }
    Status Update() override {
        // Only the fields given a value are named, so every other column takes its default.
        QStringList names;
        QStringList marks;
        std::vector<size_t> assigned;
        for (size_t i = 0; i < m_row.size() && i < m_columns.size(); ++i) {
            if (!m_row[i]) continue;
            names << quotedName(m_columns[i].name);
            marks << QStringLiteral("?");
            assigned.push_back(i);
        }
        const QString values = assigned.empty()
                                   ? QStringLiteral(" DEFAULT VALUES")
                                   : " (" + names.join(',') + ") VALUES (" + marks.join(',') + ")";
        Statement insert(m_db, QStringLiteral("INSERT INTO ") + quotedName(m_table) + values);
        if (!insert.ok()) return sqliteError(m_db, QStringLiteral("Adding a row"));
        for (size_t k = 0; k < assigned.size(); ++k) {
            const size_t i = assigned[k];
            const int position = static_cast<int>(k) + 1;
            const QString text = m_row[i]->trimmed();
            switch (m_columns[i].kind) {
                case Column::Kind::Integer:
                    sqlite3_bind_int64(insert.get(), position, text.toLongLong());
                    break;
                case Column::Kind::Real:
                    sqlite3_bind_double(insert.get(), position, text.toDouble());
                    break;
                case Column::Kind::Other: {
                    const QByteArray bytes = m_row[i]->toUtf8();
                    sqlite3_bind_text(insert.get(), position, bytes.constData(),
                                      static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
                    break;
                }
            }
        }
        if (sqlite3_step(insert.get()) != SQLITE_DONE) {
            return sqliteError(m_db, QStringLiteral("Adding a row"));
        }
        return core::success();
    }
    Status Close() override { return core::success(); }

private:
    sqlite3* m_db;
    QString m_table;
    std::vector<Column> m_columns;
    QChar m_decimalPoint;
    std::vector<std::optional<QString>> m_row;
};

class SqliteDatabase : public Database {
public:
    SqliteDatabase(sqlite3* db, QChar decimalPoint) : m_db(db), m_decimalPoint(decimalPoint) {}
    ~SqliteDatabase() override { Close(); }

    Result<QStringList> TableNames() const override {
        Statement tables(m_db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = "
                                              "'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE "
                                              "'\\' ORDER BY rowid"));
        if (!tables.ok()) return sqliteError(m_db, QStringLiteral("Listing tables"));
        QStringList names;
        while (sqlite3_step(tables.get()) == SQLITE_ROW) {
            names << QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(tables.get(), 0)));
        }
        return names;
    }

    Result<std::shared_ptr<Recordset>> OpenRecordset(const QString& name) override {
        // Names ignore letter case, as sheet names and paths do (a list file upper-cases them);
        // the exact spelling wins when two tables differ only in case.
        const QStringList tables = TableNames().valueOr({});
        QString table;
        if (tables.contains(name)) {
            table = name;
        } else if (const auto found = std::find_if(tables.begin(), tables.end(),
                                                   [&](const QString& candidate) {
                                                       return candidate.compare(
                                                                  name, Qt::CaseInsensitive) == 0;
                                                   });
                   found != tables.end()) {
            table = *found;
        } else {
            return Error{3078, QStringLiteral("Cannot find the table '") + name + "'."};
        }
        Statement info(m_db, QStringLiteral("PRAGMA table_info(") + quotedName(table) + ")");
        std::vector<Column> columns;
        while (info.ok() && sqlite3_step(info.get()) == SQLITE_ROW) {
            Column column;
            column.name = QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 1)));
            column.kind = kindOf(QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 2))));
            columns.push_back(column);
        }
        // Others may read, but not change the table while the record set is open.
        if (auto locked = execute(m_db, QStringLiteral("BEGIN IMMEDIATE")); !locked) {
            return locked.error();
        }
        return std::shared_ptr<Recordset>(
            std::make_shared<SqliteRecordset>(m_db, table, std::move(columns), m_decimalPoint));
    }

    // The send's transaction nests in the one that holds the record set's lock; committing it
    // commits both, since only a real COMMIT stores anything.
    Status BeginTrans() override {
        if (auto begun = execute(m_db, QStringLiteral("SAVEPOINT send")); !begun) return begun;
        m_inSend = true;
        return core::success();
    }
    Status CommitTrans() override {
        if (auto released = execute(m_db, QStringLiteral("RELEASE send")); !released) {
            return released;
        }
        m_inSend = false;
        if (!sqlite3_get_autocommit(m_db)) {
            // Another connection that is reading the file keeps the rows from being written.
            if (auto committed = execute(m_db, QStringLiteral("COMMIT")); !committed) {
                return Error{committed.error().number,
                             QStringLiteral("The rows could not be stored (") +
                                 committed.error().description + ")."};
            }
        }
        return core::success();
    }
    Status Rollback() override {
        // SQLite may already have rolled back by itself after a failed commit.
        if (sqlite3_get_autocommit(m_db)) {
            m_inSend = false;
            return core::success();
        }
        if (!m_inSend) {
            // The commit failed after the send's changes joined the outer transaction.
            return execute(m_db, QStringLiteral("ROLLBACK"));
        }
        m_inSend = false;
        if (auto undone = execute(m_db, QStringLiteral("ROLLBACK TO send")); !undone) {
            return undone;
        }
        return execute(m_db, QStringLiteral("RELEASE send"));
    }
    Status Close() override {
        if (!m_db) return core::success();
        // A send's transaction left open is undone; changes made outside one are kept.
        if (!sqlite3_get_autocommit(m_db)) {
            execute(m_db, m_inSend ? QStringLiteral("ROLLBACK") : QStringLiteral("COMMIT"));
        }
        m_inSend = false;
        const int closed = sqlite3_close(m_db);
        m_db = nullptr;
        if (closed != SQLITE_OK) return Error{closed, QStringLiteral("Closing the database")};
        return core::success();
    }

private:
    sqlite3* m_db;
    QChar m_decimalPoint;
    bool m_inSend = false;  // inside BeginTrans, before CommitTrans released it
};

}  // namespace

Result<std::shared_ptr<Database>> openSqliteDatabase(const QString& path, bool readOnly) {
    // SQLite would create a missing file; a database that is not there is an error here.
    if (!QFileInfo(path).isFile()) {
        return Error{3024, QStringLiteral("Could not find file '") + path + "'."};
    }
    sqlite3* db = nullptr;
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        const Error error = sqliteError(db, QStringLiteral("Opening ") + path);
        sqlite3_close(db);
        return error;
    }
    sqlite3_busy_timeout(db, 2000);
    // A file that is not a database fails on its first read, not at opening.
    Statement probe(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
    if (!probe.ok() || sqlite3_step(probe.get()) != SQLITE_ROW) {
        const Error error = sqliteError(db, QStringLiteral("Opening ") + path);
        sqlite3_close(db);
        return error;
    }
    // Numbers come in the user's form: the decimal character of the default locale.
    const QString decimal = QLocale().decimalPoint();
    return std::shared_ptr<Database>(std::make_shared<SqliteDatabase>(
        db, decimal.size() == 1 ? decimal.front() : QLatin1Char('.')));
}

}  // namespace office
