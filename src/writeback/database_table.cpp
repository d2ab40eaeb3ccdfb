// SPDX-License-Identifier: GPL-3.0-or-later
#include "writeback/database_table.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <memory>

#include "engine/text_forms.h"
#include "platform/paths.h"
#include "platform/windows1252.h"

namespace writeback {
namespace {

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Connection = std::unique_ptr<sqlite3, Closer>;

struct Finaliser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finaliser>;

// The statement, or null with the database's error.
Statement prepared(sqlite3* db, const QString& sql, int& status) {
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    status = sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &statement,
                                nullptr);
    return Statement(status == SQLITE_OK ? statement : nullptr);
}

QString failure(sqlite3* db, int status) {
    const QString reason = QString::fromUtf8(sqlite3_errmsg(db));
    if (status == SQLITE_BUSY || status == SQLITE_LOCKED) {
        return QStringLiteral(" is locked by another program; try again when it is done (") +
               reason + QStringLiteral(").");
    }
    return QStringLiteral(" cannot be read (") + reason + QStringLiteral(").");
}

QString quotedName(QString name) {
    name.replace(u'"', QStringLiteral("\"\""));
    return u'"' + name + u'"';
}

QString columnText(sqlite3_stmt* statement, int column) {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(statement, column));
}

}  // namespace

core::Result<EditTable> readDatabaseTable(const QString& path, const QString& tableName) {
    const QString file = platform::resolvePath(path);
    const QString fileName = QFileInfo(file).fileName();
    // SQLite would make a new, empty database of a missing file.
    if (!QFileInfo(file).isFile()) {
        return refusal(fileName, QStringLiteral(" cannot be found: ") + file + u'.');
    }
    sqlite3* raw = nullptr;
    const int opened =
        sqlite3_open_v2(file.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const Connection db(raw);
    if (opened != SQLITE_OK) return refusal(fileName, failure(db.get(), opened));
    sqlite3_busy_timeout(db.get(), 2000);

    int status = SQLITE_OK;
    const Statement tables =
        prepared(db.get(),
                 QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT "
                                "LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"),
                 status);
    if (!tables) return refusal(fileName, failure(db.get(), status));
    QStringList names;
    while ((status = sqlite3_step(tables.get())) == SQLITE_ROW) {
        names << columnText(tables.get(), 0);
    }
    if (status != SQLITE_DONE) return refusal(fileName, failure(db.get(), status));
    // The exact name first, then ignoring letter case, as a database send finds its table.
    QString name = names.contains(tableName) ? tableName : QString();
    for (qsizetype i = 0; name.isEmpty() && i < names.size(); ++i) {
        if (names[i].compare(tableName, Qt::CaseInsensitive) == 0) name = names[i];
    }
    if (name.isEmpty()) {
        return refusal(fileName, QStringLiteral(": the database has no table '%1' (its tables: "
                                                "%2).")
                                     .arg(tableName, names.join(QStringLiteral(", "))));
    }

    const QString origin = fileName + QStringLiteral(", table ") + name;
    const Statement rows =
        prepared(db.get(), QStringLiteral("SELECT * FROM ") + quotedName(name), status);
    if (!rows) return refusal(origin, failure(db.get(), status));
    TableBuilder table(origin);
    QString reason;
    QStringList header;
    const int columns = sqlite3_column_count(rows.get());
    for (int c = 0; c < columns; ++c) {
        header << QString::fromUtf8(sqlite3_column_name(rows.get(), c));
    }
    if (!table.setHeader(header, reason)) return refusal(origin, reason);
    const QLocale locale;
    for (int number = 1; (status = sqlite3_step(rows.get())) == SQLITE_ROW; ++number) {
        QStringList values;
        for (int c = 0; c < columns; ++c) {
            auto refused = [&](const QString& what) {
                return refusal(
                    origin,
                    QStringLiteral(", row %1, column %2: ").arg(number).arg(header[c]) + what);
            };
            switch (sqlite3_column_type(rows.get(), c)) {
                case SQLITE_NULL:
                    values << QString();
                    break;
                case SQLITE_INTEGER:
                    values << QString::number(sqlite3_column_int64(rows.get(), c));
                    break;
                case SQLITE_FLOAT:
                    values << textforms::generalReal(sqlite3_column_double(rows.get(), c), locale);
                    break;
                case SQLITE_BLOB:
                    return refused(QStringLiteral("a value of bytes, not text."));
                default: {
                    const auto* bytes =
                        static_cast<const char*>(sqlite3_column_blob(rows.get(), c));
                    const QByteArray utf8(bytes, sqlite3_column_bytes(rows.get(), c));
                    if (!platform::isValidUtf8(utf8)) {
                        return refused(QStringLiteral("text that is not valid UTF-8."));
                    }
                    values << QString::fromUtf8(utf8);
                }
            }
        }
        if (!table.addRow(std::move(values), number, reason)) return refusal(origin, reason);
    }
    if (status != SQLITE_DONE) return refusal(origin, failure(db.get(), status));
    return table.take();
}

}  // namespace writeback
