// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The search's rows, as both registers read them (one row per attribute, ordered by drawing,
// reference and attribute), gathered into one entry per drawing.

#include <QHash>

#include "register/register_database.h"

namespace reg {

class EntryBuilder {
public:
    void addUnread(const QString& path, qint64 indexedAt, const QString& readError);
    // The reference `referenceId` of the drawing at `path`, made on first sight (`isNew`: its
    // fields are for the caller to fill).
    EntryReference& reference(const QString& path, qint64 indexedAt, qint64 referenceId,
                              bool& isNew);
    std::vector<Entry> take() { return std::move(m_entries); }

private:
    Entry& entry(const QString& path, qint64 indexedAt);

    std::vector<Entry> m_entries;
    QHash<QString, std::size_t> m_byPath;
    qint64 m_lastReference = -1;
    std::size_t m_lastEntry = 0;
};

// `text` with the LIKE wildcards and the escape character itself escaped by a backslash.
QString likeEscaped(QString text);

}  // namespace reg
