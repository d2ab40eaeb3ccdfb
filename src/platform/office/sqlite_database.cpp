#include "platform/office/sqlite_database.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <vector>

namespace platform::office {
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
        return acad::success();
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

class SqliteRecordset : public Recordset {
public:
    SqliteRecordset(sqlite3* db, QString table, std::vector<Column> columns)
        : m_db(db), m_table(std::move(table)), m_columns(std::move(columns)) {}

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
        // The rows go at once, outside the transaction of the rows that follow.
        if (auto deleted = execute(m_db, QStringLiteral("DELETE FROM ") + quotedName(m_table));
            !deleted) {
            return deleted;
        }
        if (auto committed = execute(m_db, QStringLiteral("COMMIT")); !committed) return committed;
        return execute(m_db, QStringLiteral("BEGIN IMMEDIATE"));
    }
    Status AddNew() override {
        m_row.assign(m_columns.size(), std::nullopt);
        return acad::success();
    }
    Status SetField(int index, const QString& value) override {
        if (index < 0 || index >= static_cast<int>(m_columns.size())) {
            return Error{3265, QStringLiteral("Item not found in this collection.")};
        }
        bool converts = true;
        switch (m_columns[static_cast<size_t>(index)].kind) {
            case Column::Kind::Integer:
                value.trimmed().toLongLong(&converts);
                break;
            case Column::Kind::Real:
                value.trimmed().toDouble(&converts);
                break;
            case Column::Kind::Other:
                break;
        }
        if (!converts) return Error{3421, QStringLiteral("Data type conversion error.")};
        m_row[static_cast<size_t>(index)] = value;
        return acad::success();
    }
    Status Update() override {
        QStringList names;
        QStringList marks;
        for (const Column& column : m_columns) {
            names << quotedName(column.name);
            marks << QStringLiteral("?");
        }
        Statement insert(m_db, QStringLiteral("INSERT INTO ") + quotedName(m_table) + " (" +
                                   names.join(',') + ") VALUES (" + marks.join(',') + ")");
        if (!insert.ok()) return sqliteError(m_db, QStringLiteral("Adding a row"));
        for (size_t i = 0; i < m_row.size(); ++i) {
            const int position = static_cast<int>(i) + 1;
            if (!m_row[i]) {
                sqlite3_bind_null(insert.get(), position);
                continue;
            }
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
        return acad::success();
    }
    Status Close() override { return acad::success(); }

private:
    sqlite3* m_db;
    QString m_table;
    std::vector<Column> m_columns;
    std::vector<std::optional<QString>> m_row;
};

class SqliteDatabase : public Database {
public:
    explicit SqliteDatabase(sqlite3* db) : m_db(db) {}
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

    Result<std::shared_ptr<Recordset>> OpenRecordset(const QString& table) override {
        if (!TableNames().valueOr({}).contains(table)) {
            return Error{3078, QStringLiteral("Cannot find the table '") + table + "'."};
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
        m_locked = true;
        return std::shared_ptr<Recordset>(
            std::make_shared<SqliteRecordset>(m_db, table, std::move(columns)));
    }

    Status BeginTrans() override { return execute(m_db, QStringLiteral("SAVEPOINT send")); }
    Status CommitTrans() override { return execute(m_db, QStringLiteral("RELEASE send")); }
    Status Rollback() override {
        if (auto undone = execute(m_db, QStringLiteral("ROLLBACK TO send")); !undone) {
            return undone;
        }
        return execute(m_db, QStringLiteral("RELEASE send"));
    }
    Status Close() override {
        if (!m_db) return acad::success();
        if (m_locked) execute(m_db, QStringLiteral("COMMIT"));
        m_locked = false;
        const int closed = sqlite3_close(m_db);
        m_db = nullptr;
        if (closed != SQLITE_OK) return Error{closed, QStringLiteral("Closing the database")};
        return acad::success();
    }

private:
    sqlite3* m_db;
    bool m_locked = false;
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
    return std::shared_ptr<Database>(std::make_shared<SqliteDatabase>(db));
}

}  // namespace platform::office
