// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/entry_builder.h"

namespace reg {

Entry& EntryBuilder::entry(const QString& path, qint64 indexedAt) {
    const auto found = m_byPath.constFind(path);
    if (found != m_byPath.constEnd()) return m_entries[*found];
    m_byPath.insert(path, m_entries.size());
    Entry& made = m_entries.emplace_back();
    made.path = path;
    made.indexedAt = indexedAt;
    return made;
}

void EntryBuilder::addUnread(const QString& path, qint64 indexedAt, const QString& readError) {
    entry(path, indexedAt).readError = readError;
}

EntryReference& EntryBuilder::reference(const QString& path, qint64 indexedAt, qint64 referenceId,
                                        bool& isNew) {
    isNew = referenceId != m_lastReference;
    if (isNew) {
        Entry& owner = entry(path, indexedAt);
        m_lastEntry = m_byPath.value(path);
        owner.references.emplace_back();
        m_lastReference = referenceId;
    }
    return m_entries[m_lastEntry].references.back();
}

QString likeEscaped(QString text) {
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    text.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return text;
}

}  // namespace reg
