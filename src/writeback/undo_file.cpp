// SPDX-License-Identifier: GPL-3.0-or-later
#include "writeback/undo_file.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryFile>
#include <cstdio>
#include <memory>

#include "office/xlsx_workbook.h"
#include "platform/text_writer.h"
#include "writeback/plan_file.h"

namespace writeback {

namespace {

// A name beside the target that nothing else uses, for writing before the rename.
QString temporaryBeside(const QString& path) {
    QTemporaryFile file(path + QStringLiteral(".quillon-XXXXXX"));
    if (!file.open()) return {};
    return file.fileName();  // removed with `file`; the name is what is wanted
}

// Moves the finished file into place; the target must not exist yet, so nothing is replaced.
QString moveIntoPlace(const QString& written, const QString& target) {
    if (QFileInfo::exists(target)) {
        QFile::remove(written);
        return target + QStringLiteral(" already exists");
    }
    if (std::rename(QFile::encodeName(written).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        QFile::remove(written);
        return QStringLiteral("cannot be renamed to ") + target;
    }
    return {};
}

QString writeText(const QString& path, const QStringList& header,
                  const std::vector<QStringList>& rows) {
    platform::TextWriter writer;
    if (!writer.open(path)) return writer.errorString();
    auto line = [&writer](const QStringList& values) {
        QStringList fields;
        for (const QString& value : values) fields << csvField(value);
        writer.write(fields.join(QLatin1Char(',')) + QStringLiteral("\r\n"));
    };
    line(header);
    for (const QStringList& row : rows) line(row);
    return writer.commit() ? QString() : writer.errorString();
}

QString writeWorkbook(const QString& path, const QStringList& header,
                      const std::vector<QStringList>& rows) {
    const QString scratch = temporaryBeside(path);
    if (scratch.isEmpty()) return QStringLiteral("no file can be made beside ") + path;
    // Read back with the locale's decimal mark, so numbers are stored in the same form.
    const QString decimal = QLocale().decimalPoint();
    auto workbook = office::xlsx::XlsxWorkbook::create(
        scratch, decimal.size() == 1 ? decimal.front() : QLatin1Char('.'));
    if (!workbook) return workbook.error().description;
    office::Grid grid;
    grid.reserve(rows.size() + 1);
    grid.emplace_back(header.begin(), header.end());
    for (const QStringList& row : rows) grid.emplace_back(row.begin(), row.end());
    office::Status written = workbook.value()->WriteRange(1, 1, grid);
    if (written) {
        written = workbook.value()->AutoFitColumns(1, 1, static_cast<int>(grid.size()),
                                                   static_cast<int>(header.size()));
    }
    const office::Status closed = workbook.value()->Close();
    if (!written || !closed) {
        QFile::remove(scratch);
        return (!written ? written : closed).error().description;
    }
    return moveIntoPlace(scratch, path);
}

QString quoted(const QString& name) {
    QString copy = name;
    return QLatin1Char('"') + copy.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

struct SqliteClose {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

QString fillDatabase(sqlite3* db, const QString& table, const QStringList& header,
                     const std::vector<QStringList>& rows) {
    auto run = [db](const QString& sql) {
        return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    };
    QStringList columns;
    QStringList placeholders;
    for (const QString& name : header) {
        columns << quoted(name) + QStringLiteral(" TEXT");
        placeholders << QStringLiteral("?");
    }
    if (!run(QStringLiteral("CREATE TABLE ") + quoted(table) + QStringLiteral(" (") +
             columns.join(QStringLiteral(", ")) + QLatin1Char(')')) ||
        !run(QStringLiteral("BEGIN"))) {
        return QString::fromUtf8(sqlite3_errmsg(db));
    }
    const QByteArray insert =
        (QStringLiteral("INSERT INTO ") + quoted(table) + QStringLiteral(" VALUES (") +
         placeholders.join(QLatin1Char(',')) + QLatin1Char(')'))
            .toUtf8();
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, insert.constData(), -1, &raw, nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    const std::unique_ptr<sqlite3_stmt, StatementFinalize> statement(raw);
    for (const QStringList& row : rows) {
        sqlite3_reset(raw);
        for (int i = 0; i < header.size(); ++i) {
            const QByteArray value = row.value(i).toUtf8();
            sqlite3_bind_text(raw, i + 1, value.constData(), static_cast<int>(value.size()),
                              SQLITE_TRANSIENT);
        }
        if (sqlite3_step(raw) != SQLITE_DONE) return QString::fromUtf8(sqlite3_errmsg(db));
    }
    return run(QStringLiteral("COMMIT")) ? QString() : QString::fromUtf8(sqlite3_errmsg(db));
}

QString writeDatabase(const EditSource& target, const QStringList& header,
                      const std::vector<QStringList>& rows) {
    const QString scratch = temporaryBeside(target.path);
    if (scratch.isEmpty()) return QStringLiteral("no file can be made beside ") + target.path;
    QString reason;
    {
        sqlite3* raw = nullptr;
        const int opened = sqlite3_open_v2(QFile::encodeName(scratch).constData(), &raw,
                                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        const std::unique_ptr<sqlite3, SqliteClose> db(raw);
        reason = opened == SQLITE_OK ? fillDatabase(raw, target.item, header, rows)
                                     : QString::fromUtf8(sqlite3_errmsg(raw));
    }
    if (!reason.isEmpty()) {
        QFile::remove(scratch);
        return reason;
    }
    return moveIntoPlace(scratch, target.path);
}

}  // namespace

EditSource undoSourceFor(const EditSource& source, const QDateTime& now) {
    const QFileInfo info(source.path);
    EditSource undo;
    undo.kind = source.kind;
    const QString suffix =
        source.kind == SourceKind::TextFile ? QStringLiteral("csv") : info.suffix();
    undo.path = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                QStringLiteral("-undo-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                QLatin1Char('.') + suffix;
    if (source.kind == SourceKind::Database) undo.item = source.item;
    return undo;
}

QString writeUndoTable(EditSource& target, const QStringList& header,
                       const std::vector<QStringList>& rows) {
    // Two runs within a second name the same file: the second undo goes beside the first.
    const QFileInfo info(target.path);
    for (int n = 2; QFileInfo::exists(target.path); ++n) {
        target.path = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                      QLatin1Char('-') + QString::number(n) + QLatin1Char('.') + info.suffix();
    }
    switch (target.kind) {
        case SourceKind::Workbook:
            return writeWorkbook(target.path, header, rows);
        case SourceKind::Database:
            return writeDatabase(target, header, rows);
        case SourceKind::TextFile:
            break;
    }
    return writeText(target.path, header, rows);
}

}  // namespace writeback
