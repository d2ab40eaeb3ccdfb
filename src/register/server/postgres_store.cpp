// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/server/postgres_store.h"

#include <QDateTime>
#include <algorithm>

namespace reg {
namespace {

using pg::param;

// Prepared once per connection: a second store on it finds them there.
const struct {
    const char* name;
    const char* sql;
} kStatements[] = {
    {"restamp",
     // Another indexer may have stored a drawing under the new path meanwhile (a move it took
     // for a new drawing): that row stands, and this one is left as it is.
     "UPDATE drawings SET path = $1, size = $2, mtime = $3, missing = 0 WHERE id = $4"
     " AND NOT EXISTS (SELECT 1 FROM drawings WHERE path = $1 AND id <> $4)"},
    // The drawing's id, whether the row is new (no old rows to delete), and $8 new ids for its
    // references.
    {"upsert",
     "INSERT INTO drawings (path, size, mtime, hash, release, read_error, missing,"
     " indexed_at) VALUES ($1, $2, $3, $4, $5, $6, 0, $7) ON CONFLICT (path) DO UPDATE"
     " SET size = excluded.size, mtime = excluded.mtime, hash = excluded.hash,"
     " release = excluded.release, read_error = excluded.read_error, missing = 0,"
     " indexed_at = excluded.indexed_at RETURNING id, xmax = 0, ARRAY(SELECT"
     " nextval('block_references_id_seq') FROM generate_series(1, $8::integer))"},
    {"drop_attributes",
     "DELETE FROM attributes WHERE reference_id IN"
     " (SELECT id FROM block_references WHERE drawing_id = $1)"},
    {"drop_references", "DELETE FROM block_references WHERE drawing_id = $1"},
    // A drawing's references with the ids the upsert took, and all their attributes in
    // drawing order ($12: the id of each one's reference).
    {"insert_content",
     "WITH refs AS (INSERT INTO block_references (id, drawing_id, handle, space, layout,"
     " block_name, effective_name, layer, x, y, z) SELECT u.i, $1, u.h, u.s, u.l, u.b, u.e,"
     " u.y, u.px, u.py, u.pz FROM unnest($2::bigint[], $3::text[], $4::text[], $5::text[],"
     " $6::text[], $7::text[], $8::text[], $9::float8[], $10::float8[], $11::float8[])"
     " AS u (i, h, s, l, b, e, y, px, py, pz))"
     " INSERT INTO attributes (reference_id, tag, value, handle) SELECT a.r, a.t, a.v, a.h"
     " FROM unnest($12::bigint[], $13::text[], $14::text[], $15::text[]) WITH ORDINALITY"
     " AS a (r, t, v, h, n) ORDER BY a.n"},
    {"mark_missing", "UPDATE drawings SET missing = 1 WHERE id = $1"},
    {"folder_indexed",
     "INSERT INTO indexed_folders (folder, indexed_at) VALUES ($1, $2) ON CONFLICT (folder)"
     " DO UPDATE SET indexed_at = greatest(indexed_folders.indexed_at, excluded.indexed_at)"},
    {"forget", "DELETE FROM drawings WHERE id = $1"},
};

// "{101,102,103}", a bigint[] as the server writes it, in ascending order.
std::vector<qint64> idsOf(const QString& array) {
    std::vector<qint64> ids;
    const QString inside = array.mid(1, array.size() - 2);
    if (inside.isEmpty()) return ids;
    for (const QString& id : inside.split(u',')) ids.push_back(id.toLongLong());
    std::sort(ids.begin(), ids.end());
    return ids;
}

class PostgresStore : public RegisterStore {
public:
    explicit PostgresStore(pg::Connection& connection) : m_connection(connection) {
        pg::Result prepared = m_connection.run(
            QStringLiteral("SELECT count(*) FROM pg_prepared_statements WHERE name = 'forget'"),
            {});
        m_ok = prepared.ok();
        if (m_ok && prepared.integer(0, 0) > 0) return;
        for (const auto& statement : kStatements) {
            m_ok = m_ok && m_connection.prepare(statement.name, QString::fromUtf8(statement.sql));
        }
    }

    bool ok() const override { return m_ok; }
    bool begin() override { return m_connection.execute(QStringLiteral("BEGIN")).ok(); }
    bool commit() override { return m_connection.execute(QStringLiteral("COMMIT")).ok(); }
    void rollback() override { m_connection.execute(QStringLiteral("ROLLBACK")); }

    bool restamp(qint64 id, const QString& path, qint64 size, qint64 mtime) override {
        return run("restamp", {param(path), param(size), param(mtime), param(id)});
    }

    bool store(const StoredDrawing& stored) override {
        const drawing::Drawing* content = stored.content.get();
        const qint64 references =
            content ? static_cast<qint64>(content->enumeration.size()) : qint64{0};
        pg::Result upserted = m_connection.runPrepared(
            "upsert",
            {param(stored.path), param(stored.size), param(stored.mtime), param(stored.hash),
             param(content ? content->release : QString()), param(stored.readError),
             param(QDateTime::currentMSecsSinceEpoch()), param(references)});
        if (!upserted.ok() || upserted.rows() != 1) return false;
        const QByteArray id = param(upserted.integer(0, 0));
        const bool isNew = upserted.text(0, 1) == QLatin1String("t");
        if (!isNew && (!run("drop_attributes", {id}) || !run("drop_references", {id})))
            return false;
        if (references == 0) return true;
        const std::vector<qint64> ids = idsOf(upserted.text(0, 2));
        if (static_cast<qint64>(ids.size()) != references) return false;
        return run("insert_content", contentParams(id, *content, ids));
    }

    bool markMissing(qint64 id) override { return run("mark_missing", {param(id)}); }
    bool noteFolderIndexed(const QString& folder, qint64 at) override {
        return run("folder_indexed", {param(folder), param(at)});
    }
    bool forget(qint64 id) override {
        const QByteArray key = param(id);
        return run("drop_attributes", {key}) && run("drop_references", {key}) &&
               run("forget", {key});
    }

private:
    bool run(const char* name, const pg::Params& params) {
        return m_connection.runPrepared(name, params).ok();
    }

    // The parameters of insert_content: one array per column, a reference or an attribute
    // per element, in the drawing's enumeration order.
    static pg::Params contentParams(const QByteArray& drawingId, const drawing::Drawing& content,
                                    const std::vector<qint64>& ids) {
        enum Column { Id, Handle, Space, Layout, Block, Effective, Layer, X, Y, Z, Count };
        std::vector<pg::ArrayParam> references(Count);
        pg::ArrayParam referenceOf, tags, values, handles;
        for (std::size_t n = 0; n < content.enumeration.size(); ++n) {
            const drawing::InsertRecord& insert = content.inserts[content.enumeration[n]];
            references[Id].append(param(ids[n]));
            references[Handle].append(insert.handle.toQString());
            references[Space].append(insert.paperSpace ? QStringLiteral("PAPER")
                                                       : QStringLiteral("MODEL"));
            references[Layout].append(insert.layout);
            references[Block].append(insert.name);
            references[Effective].append(insert.effectiveName.isEmpty() ? insert.name
                                                                        : insert.effectiveName);
            references[Layer].append(insert.layer);
            references[X].append(param(insert.insertion.x));
            references[Y].append(param(insert.insertion.y));
            references[Z].append(param(insert.insertion.z));
            for (std::uint32_t i = 0; i < insert.attributeCount; ++i) {
                const drawing::AttributeRecord& attribute =
                    content.attributes[insert.firstAttribute + i];
                referenceOf.append(param(ids[n]));
                tags.append(attribute.tag);
                values.append(attribute.text);
                handles.append(attribute.handle.toQString());
            }
        }
        pg::Params params{drawingId};
        for (pg::ArrayParam& column : references) params.push_back(column.take());
        for (pg::ArrayParam* column : {&referenceOf, &tags, &values, &handles})
            params.push_back(column->take());
        return params;
    }

    pg::Connection& m_connection;
    bool m_ok = false;
};

}  // namespace

std::unique_ptr<RegisterStore> makePostgresStore(pg::Connection& connection) {
    return std::make_unique<PostgresStore>(connection);
}

}  // namespace reg
