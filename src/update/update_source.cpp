// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/update_source.h"

#include <QLocale>

#include "office/sqlite_database.h"
#include "office/xlsx_workbook.h"

namespace {

struct KindText {
    SourceKind kind;
    const char* word;
    const char* caption;
    const char* filter;
};
constexpr KindText kKinds[] = {{SourceKind::TextFile, "Text", "Open Text File",
                                "Text Files (*.csv;*.txt)|*.csv;*.txt|All Files (*.*)|*.*"},
                               {SourceKind::Workbook, "Excel", "Open Workbook",
                                "Workbooks (*.xlsx)|*.xlsx|All Files (*.*)|*.*"},
                               {SourceKind::Database, "Access", "Open Database",
                                "Databases (*.db;*.sqlite)|*.db;*.sqlite|All Files (*.*)|*.*"}};

const KindText& textOf(SourceKind kind) {
    for (const KindText& text : kKinds) {
        if (text.kind == kind) return text;
    }
    return kKinds[0];
}

}  // namespace

const QString& SourceFolders::of(SourceKind kind) const {
    switch (kind) {
        case SourceKind::Workbook:
            return workbook;
        case SourceKind::Database:
            return database;
        case SourceKind::TextFile:
            break;
    }
    return textFile;
}

QString kindWord(SourceKind kind) {
    return QLatin1String(textOf(kind).word);
}

std::optional<SourceKind> kindFromWord(const QString& word) {
    for (const KindText& text : kKinds) {
        if (word.trimmed().compare(QLatin1String(text.word), Qt::CaseInsensitive) == 0)
            return text.kind;
    }
    return std::nullopt;
}

QStringList sheetsOrTables(SourceKind kind, const QString& path) {
    if (path.isEmpty()) return {};
    if (kind == SourceKind::Workbook) {
        const auto workbook =
            office::xlsx::XlsxWorkbook::open(path, QLocale().decimalPoint().front());
        if (!workbook || !workbook.value()) return {};
        QStringList names = workbook.value()->SheetNames().valueOr({});
        workbook.value()->Close();
        return names;
    }
    if (kind == SourceKind::Database) {
        const auto database = office::openSqliteDatabase(path, true);
        if (!database || !database.value()) return {};
        QStringList names = database.value()->TableNames().valueOr({});
        database.value()->Close();
        return names;
    }
    return {};
}

platform::FileDialogRequest sourceOpenRequest(SourceKind kind, const QString& folder) {
    platform::FileDialogRequest request;
    request.caption = QLatin1String(textOf(kind).caption);
    request.folder = folder;
    request.filter = QLatin1String(textOf(kind).filter);
    return request;
}
