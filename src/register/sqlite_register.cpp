// SPDX-License-Identifier: GPL-3.0-or-later
// The register in a SQLite file.

#include <QRegularExpression>

#include "register/entry_builder.h"
#include "register/register_database.h"
#include "register/register_schema.h"
#include "register/register_store.h"

namespace reg {
namespace {

// The condition on the compared field (an attribute's tag or value) that narrows the rows to
// those that may match; ?3 is the text.
QString textCondition(const EntryQuery& query) {
    const QString field = query.onTag ? QStringLiteral("a.tag") : QStringLiteral("a.value");
    switch (query.text) {
        case EntryQuery::Text::Any:
            return QStringLiteral("1");
        case EntryQuery::Text::Equal:
            return field + QStringLiteral(" = ?3");
        case EntryQuery::Text::Contains:
            return QStringLiteral("instr(%1, ?3) > 0").arg(field);
        // SQLite's LIKE ignores the case of ASCII letters only: enough for an ASCII text.
        case EntryQuery::Text::EqualIgnoringAsciiCase:
            return field + QStringLiteral(" LIKE ?3 ESCAPE '\\'");
        case EntryQuery::Text::ContainsIgnoringAsciiCase:
            return field + QStringLiteral(" LIKE '%' || ?3 || '%' ESCAPE '\\'");
    }
    return QStringLiteral("1");
}

// Whether the value index can narrow the rows for `query`: it answers LIKE for a text holding
// three characters in a row that are not LIKE's wildcards. A search on tags, or one that
// cannot be narrowed at all, reads every row.
bool valueIndexServes(const EntryQuery& query) {
    if (query.onTag || query.text == EntryQuery::Text::Any) return false;
    int run = 0;
    for (const char32_t c : query.value.toUcs4()) {
        run = c == U'%' || c == U'_' ? 0 : run + 1;
        if (run == 3) return true;
    }
    return false;
}

class SqliteRegister : public RegisterDatabase {
public:
    explicit SqliteRegister(std::shared_ptr<Connection> connection)
        : m_connection(std::move(connection)) {}

    QHash<QString, KnownDrawing> knownDrawings() override {
        return reg::knownDrawings(*m_connection);
    }
    std::unique_ptr<RegisterStore> store() override {
        return std::make_unique<SqliteRegisterStore>(*m_connection);
    }
    QString lastError() const override { return m_connection->lastError(); }

    core::Result<std::vector<Entry>> entries(const EntryQuery& query) override {
        const QString likeText = query.text == EntryQuery::Text::EqualIgnoringAsciiCase ||
                                         query.text == EntryQuery::Text::ContainsIgnoringAsciiCase
                                     ? likeEscaped(query.value)
                                     : query.value;
        const QString inFolder = QStringLiteral("(?1 = '' OR substr(d.path, 1, length(?1)) = ?1)");
        const bool narrowed = valueIndexServes(query);
        EntryBuilder builder;
        Statement unread = m_connection->prepare(
            QStringLiteral("SELECT d.path, d.indexed_at, d.read_error FROM drawings d"
                           " WHERE d.missing = 0 AND d.read_error <> '' AND ") +
            inFolder);
        unread.bind(1, query.pathPrefix);
        while (unread.next()) builder.addUnread(unread.text(0), unread.integer(1), unread.text(2));
        if (unread.failed()) return failure();

        Statement rows = m_connection->prepare(
            QStringLiteral(
                "SELECT d.path, d.indexed_at, r.id, r.space, r.layout, r.block_name,"
                " r.effective_name, r.layer, r.handle, r.x, r.y, r.z, a.tag, a.value, a.handle"
                " FROM drawings d JOIN block_references r ON r.drawing_id = d.id"
                " JOIN attributes a ON a.reference_id = r.id WHERE d.missing = 0 AND ") +
            inFolder + QStringLiteral(" AND (?2 = '' OR r.space = ?2) AND ") +
            textCondition(query) +
            (narrowed ? QStringLiteral(
                            " AND a.id IN (SELECT rowid FROM attribute_values WHERE value LIKE ?4)")
                      : QString()) +
            QStringLiteral(" ORDER BY d.id, r.id, a.id"));
        rows.bind(1, query.pathPrefix).bind(2, query.space);
        if (query.text != EntryQuery::Text::Any) rows.bind(3, likeText);
        // The text's own % and _ left as wildcards: the candidates are then more, never
        // fewer, and LIKE with an ESCAPE would not use the index at all.
        if (narrowed) rows.bind(4, u'%' + query.value + u'%');
        while (rows.next()) {
            bool isNew = false;
            EntryReference& reference =
                builder.reference(rows.text(0), rows.integer(1), rows.integer(2), isNew);
            if (isNew) {
                reference.paperSpace = rows.text(3) == QLatin1String("PAPER");
                reference.layout = rows.text(4);
                reference.blockName = rows.text(5);
                reference.effectiveName = rows.text(6);
                reference.layer = rows.text(7);
                reference.handle = rows.text(8);
                reference.x = rows.real(9);
                reference.y = rows.real(10);
                reference.z = rows.real(11);
            }
            reference.attributes.push_back({rows.text(12), rows.text(13), rows.text(14)});
        }
        if (rows.failed() || !rows.ok()) return failure();
        return builder.take();
    }

    core::Result<FolderSummary> folderSummary(const QString& pathPrefix) override {
        Statement query = m_connection->prepare(
            QStringLiteral("SELECT count(*) FILTER (WHERE missing = 0),"
                           " count(*) FILTER (WHERE missing = 0 AND read_error <> ''),"
                           " count(*) FILTER (WHERE missing <> 0),"
                           " coalesce(max(indexed_at) FILTER (WHERE missing = 0), 0)"
                           " FROM drawings WHERE substr(path, 1, length(?1)) = ?1"));
        query.bind(1, pathPrefix);
        if (!query.next() || query.failed()) return failure();
        Statement run = m_connection->prepare(
            QStringLiteral("SELECT coalesce(max(indexed_at), 0) FROM indexed_folders"
                           " WHERE substr(?1, 1, length(folder)) = folder"));
        run.bind(1, pathPrefix);
        if (!run.next() || run.failed()) return failure();
        return FolderSummary{query.integer(0), query.integer(1), query.integer(2), query.integer(3),
                             run.integer(0)};
    }

private:
    core::Error failure() const {
        return core::Error{
            1,
            QStringLiteral("The register cannot be searched: %1").arg(m_connection->lastError())};
    }

    std::shared_ptr<Connection> m_connection;
};

}  // namespace

core::Result<std::unique_ptr<RegisterDatabase>> openFileRegister(const QString& path) {
    auto opened = openRegister(path);
    if (!opened) return opened.error();
    return std::unique_ptr<RegisterDatabase>(std::make_unique<SqliteRegister>(opened.value()));
}

core::Result<std::unique_ptr<RegisterDatabase>> openRegisterDatabase(const RegisterAddress& where) {
    return where.server.isEmpty() ? openFileRegister(where.database)
                                  : openServerRegister(where.server);
}

QString printableConninfo(const QString& conninfo) {
    QString shown = conninfo;
    // password=secret, password = 'a b', and user:secret@host in an address.
    static const QRegularExpression keyword(
        QStringLiteral(R"((password\s*=\s*)('(?:[^'\\]|\\.)*'|\S+))"));
    static const QRegularExpression address(QStringLiteral(R"((://[^:/@]*:)[^@]*@)"));
    shown.replace(keyword, QStringLiteral("\\1***"));
    shown.replace(address, QStringLiteral("\\1***@"));
    return shown;
}

}  // namespace reg
