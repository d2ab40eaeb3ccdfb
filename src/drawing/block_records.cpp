// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/block_records.h"

namespace drawing {

namespace {

// Only anonymous "*U" blocks stand for a dynamic block; any other name is the one to keep.
bool isAnonymousCopy(const QString& name) {
    return name.startsWith(u"*U", Qt::CaseInsensitive);
}

}  // namespace

void BlockRecords::add(qint64 handle, const QString& name, qint64 dynamicBlock) {
    if (handle == 0) return;
    m_names.emplace(handle, name);
    if (dynamicBlock == 0 || dynamicBlock == handle || !isAnonymousCopy(name)) return;
    m_copies.emplace(handle, dynamicBlock);
    m_copiesByName.emplace(name.toUpper(), handle);
}

QString BlockRecords::effectiveNameOf(qint64 record) const {
    const auto copy = m_copies.find(record);
    if (copy == m_copies.end()) return {};
    const auto dynamic = m_names.find(copy->second);
    return dynamic == m_names.end() ? QString() : dynamic->second;
}

void BlockRecords::resolveByName(Drawing& drawing) const {
    if (m_copies.empty()) return;
    for (InsertRecord& r : drawing.inserts) {
        if (!isAnonymousCopy(r.name)) continue;
        const auto copy = m_copiesByName.find(r.name.toUpper());
        if (copy != m_copiesByName.end()) r.effectiveName = effectiveNameOf(copy->second);
    }
}

}  // namespace drawing
