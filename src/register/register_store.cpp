// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/register_store.h"

#include <QDateTime>

namespace reg {

QHash<QString, KnownDrawing> knownDrawings(Connection& connection) {
    QHash<QString, KnownDrawing> known;
    Statement query = connection.prepare(
        QStringLiteral("SELECT id, path, size, mtime, hash, missing FROM drawings"));
    while (query.next()) {
        known.insert(query.text(1),
                     KnownDrawing{query.integer(0), query.integer(2), query.integer(3),
                                  query.text(4), query.integer(5) != 0});
    }
    return known;
}

SqliteRegisterStore::SqliteRegisterStore(Connection& connection)
    : m_connection(connection),
      m_restamp(connection.prepare(QStringLiteral(
          "UPDATE drawings SET path = ?, size = ?, mtime = ?, missing = 0 WHERE id = ?"))),
      m_upsert(connection.prepare(QStringLiteral(
          "INSERT INTO drawings (path, size, mtime, hash, release, read_error, missing,"
          " indexed_at) VALUES (?, ?, ?, ?, ?, ?, 0, ?) ON CONFLICT (path) DO UPDATE SET"
          " size = excluded.size, mtime = excluded.mtime, hash = excluded.hash,"
          " release = excluded.release, read_error = excluded.read_error, missing = 0,"
          " indexed_at = excluded.indexed_at RETURNING id"))),
      m_dropAttributes(connection.prepare(
          QStringLiteral("DELETE FROM attributes WHERE reference_id IN"
                         " (SELECT id FROM block_references WHERE drawing_id = ?)"))),
      m_dropReferences(
          connection.prepare(QStringLiteral("DELETE FROM block_references WHERE drawing_id = ?"))),
      m_insertReference(connection.prepare(QStringLiteral(
          "INSERT INTO block_references (drawing_id, handle, space, layout, block_name,"
          " effective_name, layer, x, y, z) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))),
      m_insertAttribute(connection.prepare(
          QStringLiteral("INSERT INTO attributes (reference_id, tag, value, handle)"
                         " VALUES (?, ?, ?, ?)"))),
      m_markMissing(
          connection.prepare(QStringLiteral("UPDATE drawings SET missing = 1 WHERE id = ?"))),
      m_forget(connection.prepare(QStringLiteral("DELETE FROM drawings WHERE id = ?"))),
      m_folderIndexed(connection.prepare(QStringLiteral(
          "INSERT INTO indexed_folders (folder, indexed_at) VALUES (?, ?) ON CONFLICT (folder)"
          " DO UPDATE SET indexed_at = max(indexed_at, excluded.indexed_at)"))) {
    m_ok = m_restamp.ok() && m_upsert.ok() && m_dropAttributes.ok() && m_dropReferences.ok() &&
           m_insertReference.ok() && m_insertAttribute.ok() && m_markMissing.ok() &&
           m_forget.ok() && m_folderIndexed.ok();
}

bool SqliteRegisterStore::begin() {
    return m_connection.execute(QStringLiteral("BEGIN IMMEDIATE")).ok();
}

bool SqliteRegisterStore::commit() {
    return m_connection.execute(QStringLiteral("COMMIT")).ok();
}

void SqliteRegisterStore::rollback() {
    m_connection.execute(QStringLiteral("ROLLBACK"));
}

bool SqliteRegisterStore::restamp(qint64 id, const QString& path, qint64 size, qint64 mtime) {
    return m_restamp.bind(1, path).bind(2, size).bind(3, mtime).bind(4, id).run();
}

bool SqliteRegisterStore::dropContent(qint64 id) {
    return m_dropAttributes.bind(1, id).run() && m_dropReferences.bind(1, id).run();
}

bool SqliteRegisterStore::store(const StoredDrawing& stored) {
    const QString release = stored.content ? stored.content->release : QString();
    m_upsert.bind(1, stored.path)
        .bind(2, stored.size)
        .bind(3, stored.mtime)
        .bind(4, stored.hash)
        .bind(5, release)
        .bind(6, stored.readError)
        .bind(7, QDateTime::currentMSecsSinceEpoch());
    if (!m_upsert.next()) {
        m_upsert.reset();
        return false;
    }
    const qint64 id = m_upsert.integer(0);
    m_upsert.reset();
    if (!dropContent(id)) return false;
    if (!stored.content) return true;

    const drawing::Drawing& content = *stored.content;
    for (const std::uint32_t index : content.enumeration) {
        const drawing::InsertRecord& insert = content.inserts[index];
        m_insertReference.bind(1, id)
            .bind(2, insert.handle.toQString())
            .bind(3, insert.paperSpace ? QStringLiteral("PAPER") : QStringLiteral("MODEL"))
            .bind(4, insert.layout)
            .bind(5, insert.name)
            .bind(6, insert.effectiveName.isEmpty() ? insert.name : insert.effectiveName)
            .bind(7, insert.layer)
            .bind(8, insert.insertion.x)
            .bind(9, insert.insertion.y)
            .bind(10, insert.insertion.z);
        if (!m_insertReference.run()) return false;
        const qint64 referenceId = m_connection.lastInsertId();
        for (std::uint32_t i = 0; i < insert.attributeCount; ++i) {
            const drawing::AttributeRecord& attribute =
                content.attributes[insert.firstAttribute + i];
            m_insertAttribute.bind(1, referenceId)
                .bind(2, attribute.tag)
                .bind(3, attribute.text)
                .bind(4, attribute.handle.toQString());
            if (!m_insertAttribute.run()) return false;
        }
    }
    return true;
}

bool SqliteRegisterStore::markMissing(qint64 id) {
    return m_markMissing.bind(1, id).run();
}

bool SqliteRegisterStore::noteFolderIndexed(const QString& folder, qint64 at) {
    return m_folderIndexed.bind(1, folder).bind(2, at).run();
}

bool SqliteRegisterStore::forget(qint64 id) {
    return dropContent(id) && m_forget.bind(1, id).run();
}

}  // namespace reg
