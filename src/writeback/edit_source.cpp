// SPDX-License-Identifier: GPL-3.0-or-later
#include "writeback/edit_source.h"

#include <QFileInfo>

#include "writeback/database_table.h"
#include "writeback/delimited_file.h"
#include "writeback/workbook_sheet.h"

namespace writeback {

SourceKind kindOfFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xlsx")) return SourceKind::Workbook;
    if (suffix == QLatin1String("db") || suffix == QLatin1String("sqlite") ||
        suffix == QLatin1String("sqlite3")) {
        return SourceKind::Database;
    }
    return SourceKind::TextFile;
}

core::Result<EditTable> readEditSource(const EditSource& source) {
    switch (source.kind) {
        case SourceKind::Workbook:
            return readWorkbookSheet(source.path, source.item);
        case SourceKind::Database:
            return readDatabaseTable(source.path, source.item);
        case SourceKind::TextFile:
            break;
    }
    return readDelimitedFile(source.path);
}

QString describe(const EditSource& source) {
    if (source.item.isEmpty() || source.kind == SourceKind::TextFile) return source.path;
    return source.path +
           (source.kind == SourceKind::Workbook ? QStringLiteral(", sheet ")
                                                : QStringLiteral(", table ")) +
           source.item;
}

}  // namespace writeback
