// SPDX-License-Identifier: GPL-3.0-or-later
// The register in a PostgreSQL database: the tables of the SQLite register (register_schema.h)
// with the server's types, for a team whose indexers run on several machines at once. How they
// write side by side is told in postgres_store.h.

#include "register/entry_builder.h"
#include "register/register_database.h"
#include "register/register_schema.h"
#include "register/server/pg_connection.h"
#include "register/server/postgres_store.h"

namespace reg {
namespace {

using pg::param;

// Every later version starts from here, so a register of any age is brought up to date by the
// steps a new one takes.
const char* const kVersion1 = R"sql(
CREATE TABLE schema_version (version INTEGER NOT NULL);
INSERT INTO schema_version (version) VALUES (1);
CREATE TABLE drawings (
    id BIGSERIAL PRIMARY KEY,
    path TEXT NOT NULL UNIQUE,
    size BIGINT NOT NULL,
    mtime BIGINT NOT NULL,
    hash TEXT NOT NULL,
    release TEXT NOT NULL DEFAULT '',
    read_error TEXT NOT NULL DEFAULT '',
    missing INTEGER NOT NULL DEFAULT 0,
    indexed_at BIGINT NOT NULL);
CREATE INDEX drawings_by_hash ON drawings (hash);
CREATE TABLE block_references (
    id BIGSERIAL PRIMARY KEY,
    drawing_id BIGINT NOT NULL REFERENCES drawings (id) ON DELETE CASCADE,
    handle TEXT NOT NULL,
    space TEXT NOT NULL,
    block_name TEXT NOT NULL,
    effective_name TEXT NOT NULL,
    layer TEXT NOT NULL,
    x DOUBLE PRECISION NOT NULL,
    y DOUBLE PRECISION NOT NULL,
    z DOUBLE PRECISION NOT NULL);
CREATE INDEX block_references_by_drawing ON block_references (drawing_id);
CREATE TABLE attributes (
    id BIGSERIAL PRIMARY KEY,
    reference_id BIGINT NOT NULL REFERENCES block_references (id) ON DELETE CASCADE,
    tag TEXT NOT NULL,
    value TEXT NOT NULL,
    handle TEXT NOT NULL);
CREATE INDEX attributes_by_reference ON attributes (reference_id);
)sql";

// Version 2: each paper-space reference's layout, and an index over the values (made apart:
// which one depends on the server).
const char* const kVersion2 = R"sql(
ALTER TABLE block_references ADD COLUMN layout TEXT NOT NULL DEFAULT '';
UPDATE schema_version SET version = 2;
)sql";

// Searches ignoring case compare lower(value COLLATE "C"): ASCII letters folded, every other
// character kept, the same on every server whatever its locale. A trigram index finds a text
// anywhere in the values; pg_trgm ships with the server, but a user who may not create
// extensions gets a plain index, which serves whole-value searches.
bool makeValueIndex(pg::Connection& connection) {
    if (!connection.execute(QStringLiteral("SAVEPOINT value_index")).ok()) return false;
    if (connection.execute(QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm")).ok() &&
        connection
            .execute(QStringLiteral("CREATE INDEX attribute_values ON attributes USING gin"
                                    " (lower(value COLLATE \"C\") gin_trgm_ops)"))
            .ok()) {
        return connection.execute(QStringLiteral("RELEASE SAVEPOINT value_index")).ok();
    }
    return connection.execute(QStringLiteral("ROLLBACK TO SAVEPOINT value_index")).ok() &&
           connection
               .execute(QStringLiteral("CREATE INDEX attribute_values ON attributes"
                                       " (lower(value COLLATE \"C\"))"))
               .ok();
}

bool step(pg::Connection& connection, int toVersion) {
    switch (toVersion) {
        case 1:
            return connection.execute(QString::fromUtf8(kVersion1)).ok();
        case 2:
            return connection.execute(QString::fromUtf8(kVersion2)).ok() &&
                   makeValueIndex(connection);
        case 3:
            // When each folder was last indexed whole, and the drawings that could not be read
            // found by an index. The file register's value index changed too; the server's
            // already finds a text anywhere in a value.
            return connection
                .execute(QStringLiteral(
                    "CREATE TABLE indexed_folders (folder TEXT PRIMARY KEY, indexed_at BIGINT NOT"
                    " NULL); CREATE INDEX drawings_unread ON drawings (id) WHERE read_error <> '';"
                    " UPDATE schema_version SET version = 3"))
                .ok();
    }
    return false;
}

bool hasAnyTable(pg::Connection& connection) {
    pg::Result found = connection.execute(QStringLiteral(
        "SELECT 1 FROM information_schema.tables WHERE table_schema = current_schema()"));
    return found.ok() && found.rows() > 0;
}

int schemaVersionOf(pg::Connection& connection) {
    // Read from the catalog table itself, not from the information schema, whose views are slow
    // to read (this runs before every search), and not by to_regclass: its lookup is cached
    // per connection, and would still miss the table after another indexer has made it.
    pg::Result found = connection.execute(QStringLiteral(
        "SELECT EXISTS (SELECT 1 FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON"
        " n.oid = c.relnamespace WHERE n.nspname = current_schema() AND"
        " c.relname = 'schema_version')"));
    if (!found.ok() || found.rows() != 1 || found.text(0, 0) != QLatin1String("t")) return 0;
    pg::Result version = connection.execute(QStringLiteral("SELECT version FROM schema_version"));
    return version.ok() && version.rows() > 0 ? static_cast<int>(version.integer(0, 0)) : 0;
}

// Any number, the same in every indexer: two that find an empty database at once make its
// tables one after the other.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(7381204551)";

core::Status bringUpToDate(pg::Connection& connection) {
    const auto failed = [&](const QString& reason) {
        connection.execute(QStringLiteral("ROLLBACK"));
        return core::Error{1, reason};
    };
    if (!connection.execute(QStringLiteral("BEGIN")).ok() ||
        !connection.execute(QString::fromLatin1(kSchemaLock)).ok())
        return failed(connection.lastError());
    int version = schemaVersionOf(connection);
    // Tables of another program: the register's would be mixed among them.
    if (version == 0 && hasAnyTable(connection))
        return failed(QStringLiteral("it is a database, but not a register"));
    if (version > kSchemaVersion)
        return failed(
            QStringLiteral("it was written by a newer Quillon (version %1)").arg(version));
    // Every step in one transaction: a failed migration leaves the register as it was.
    for (; version < kSchemaVersion; ++version) {
        if (!step(connection, version + 1)) return failed(connection.lastError());
    }
    if (!connection.execute(QStringLiteral("COMMIT")).ok()) return failed(connection.lastError());
    return core::success();
}

// lower() under COLLATE "C": ASCII letters folded, every other character kept.
QString asciiLower(QString text) {
    for (QChar& c : text) {
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return text;
}

// The condition on the compared field that narrows the rows to those that may match; $3 is
// the text. A value compared letter for letter is also compared folded ($4), which the value
// index answers: the exact comparison then only looks at what the index found.
QString textCondition(const EntryQuery& query) {
    const QString field = query.onTag ? QStringLiteral("a.tag") : QStringLiteral("a.value");
    const QString folded = QStringLiteral("lower(%1 COLLATE \"C\")").arg(field);
    const auto alsoFolded = [&](const QString& comparison) {
        return query.onTag ? QString() : QStringLiteral(" AND ") + folded + comparison;
    };
    switch (query.text) {
        case EntryQuery::Text::Any:
            return QStringLiteral("true");
        case EntryQuery::Text::Equal:
            return field + QStringLiteral(" = $3") + alsoFolded(QStringLiteral(" = $4"));
        case EntryQuery::Text::Contains:
            return QStringLiteral("strpos(%1, $3) > 0").arg(field) +
                   alsoFolded(QStringLiteral(" LIKE $4"));
        case EntryQuery::Text::EqualIgnoringAsciiCase:
            return folded + QStringLiteral(" = $3");
        case EntryQuery::Text::ContainsIgnoringAsciiCase:
            return folded + QStringLiteral(" LIKE '%' || $3 || '%'");
    }
    return QStringLiteral("true");
}

class PostgresRegister : public RegisterDatabase {
public:
    explicit PostgresRegister(std::unique_ptr<pg::Connection> connection)
        : m_connection(std::move(connection)) {}

    QHash<QString, KnownDrawing> knownDrawings() override {
        QHash<QString, KnownDrawing> known;
        pg::Result rows = m_connection->execute(
            QStringLiteral("SELECT id, path, size, mtime, hash, missing FROM drawings"));
        for (int row = 0; row < rows.rows(); ++row) {
            known.insert(rows.text(row, 1), KnownDrawing{rows.integer(row, 0), rows.integer(row, 2),
                                                         rows.integer(row, 3), rows.text(row, 4),
                                                         rows.integer(row, 5) != 0});
        }
        return known;
    }

    std::unique_ptr<RegisterStore> store() override { return makePostgresStore(*m_connection); }
    QString lastError() const override { return m_connection->lastError(); }
    int drawingsPerTransactionLimit() const override { return 1; }

    core::Result<std::vector<Entry>> entries(const EntryQuery& query) override {
        QString text = query.value;
        if (query.text == EntryQuery::Text::ContainsIgnoringAsciiCase) {
            text = likeEscaped(text.toLower());
        } else if (query.text == EntryQuery::Text::EqualIgnoringAsciiCase) {
            text = text.toLower();
        }
        const QString inFolder = QStringLiteral("($1 = '' OR starts_with(d.path, $1))");
        EntryBuilder builder;
        pg::Result unread = m_connection->run(
            QStringLiteral("SELECT d.path, d.indexed_at, d.read_error FROM drawings d"
                           " WHERE d.missing = 0 AND d.read_error <> '' AND ") +
                inFolder,
            {param(query.pathPrefix)});
        if (!unread.ok()) return failure();
        for (int row = 0; row < unread.rows(); ++row)
            builder.addUnread(unread.text(row, 0), unread.integer(row, 1), unread.text(row, 2));

        pg::Params params{param(query.pathPrefix), param(query.space)};
        if (query.text != EntryQuery::Text::Any) params.push_back(param(text));
        if (!query.onTag && query.text == EntryQuery::Text::Equal)
            params.push_back(param(asciiLower(text)));
        if (!query.onTag && query.text == EntryQuery::Text::Contains)
            params.push_back(param(u'%' + likeEscaped(asciiLower(text)) + u'%'));
        pg::Result rows = m_connection->run(
            QStringLiteral(
                "SELECT d.path, d.indexed_at, r.id, r.space, r.layout, r.block_name,"
                " r.effective_name, r.layer, r.handle, r.x, r.y, r.z, a.tag, a.value, a.handle"
                " FROM drawings d JOIN block_references r ON r.drawing_id = d.id"
                " JOIN attributes a ON a.reference_id = r.id WHERE d.missing = 0 AND ") +
                inFolder + QStringLiteral(" AND ($2 = '' OR r.space = $2) AND ") +
                textCondition(query) + QStringLiteral(" ORDER BY d.id, r.id, a.id"),
            params);
        if (!rows.ok()) return failure();
        for (int row = 0; row < rows.rows(); ++row) {
            bool isNew = false;
            EntryReference& reference = builder.reference(rows.text(row, 0), rows.integer(row, 1),
                                                          rows.integer(row, 2), isNew);
            if (isNew) {
                reference.paperSpace = rows.text(row, 3) == QLatin1String("PAPER");
                reference.layout = rows.text(row, 4);
                reference.blockName = rows.text(row, 5);
                reference.effectiveName = rows.text(row, 6);
                reference.layer = rows.text(row, 7);
                reference.handle = rows.text(row, 8);
                reference.x = rows.real(row, 9);
                reference.y = rows.real(row, 10);
                reference.z = rows.real(row, 11);
            }
            reference.attributes.push_back(
                {rows.text(row, 12), rows.text(row, 13), rows.text(row, 14)});
        }
        return builder.take();
    }

    // Left to itself the server renews them some time after a large run; until then it may plan
    // a search of a freshly filled register as a scan of every attribute. Refused (another
    // user's tables) it changes nothing.
    void refreshStatistics() override {
        m_connection->execute(QStringLiteral("ANALYZE drawings, block_references, attributes"));
    }

    core::Result<FolderSummary> folderSummary(const QString& pathPrefix) override {
        pg::Result row = m_connection->run(
            QStringLiteral("SELECT count(*) FILTER (WHERE missing = 0),"
                           " count(*) FILTER (WHERE missing = 0 AND read_error <> ''),"
                           " count(*) FILTER (WHERE missing <> 0),"
                           " coalesce(max(indexed_at) FILTER (WHERE missing = 0), 0)"
                           " FROM drawings WHERE starts_with(path, $1)"),
            {param(pathPrefix)});
        if (!row.ok() || row.rows() != 1) return failure();
        pg::Result run = m_connection->run(
            QStringLiteral("SELECT coalesce(max(indexed_at), 0) FROM indexed_folders"
                           " WHERE starts_with($1, folder)"),
            {param(pathPrefix)});
        if (!run.ok() || run.rows() != 1) return failure();
        return FolderSummary{row.integer(0, 0), row.integer(0, 1), row.integer(0, 2),
                             row.integer(0, 3), run.integer(0, 0)};
    }

private:
    core::Error failure() const {
        return core::Error{
            1,
            QStringLiteral("The register cannot be searched: %1").arg(m_connection->lastError())};
    }

    std::unique_ptr<pg::Connection> m_connection;
};

}  // namespace

bool serverRegistersAvailable() {
    return true;
}

core::Result<std::unique_ptr<RegisterDatabase>> openServerRegister(const QString& conninfo) {
    const auto failure = [&](const QString& reason) {
        return core::Error{1, core::withReason(QStringLiteral("The register %1 cannot be opened.")
                                                   .arg(printableConninfo(conninfo)),
                                               reason)};
    };
    auto connected = pg::Connection::open(conninfo);
    if (!connected) return failure(connected.error().description);
    pg::Connection& connection = *connected.value();
    // A register of this version is used as it is, without the lock the steps take: a search
    // then never waits for another indexer that is opening the register.
    if (schemaVersionOf(connection) != kSchemaVersion) {
        if (const core::Status upToDate = bringUpToDate(connection); !upToDate)
            return failure(upToDate.error().description);
    }
    if (!connection.execute(QStringLiteral("SET synchronous_commit = off")).ok())
        return failure(connection.lastError());
    return std::unique_ptr<RegisterDatabase>(
        std::make_unique<PostgresRegister>(std::move(connected).value()));
}

}  // namespace reg
