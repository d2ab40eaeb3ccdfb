// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_list_model.h"

#include <limits>

RecordListModel::RecordListModel(QObject* parent) : QAbstractListModel(parent) {}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    // A view counts rows in int; more records than that are kept but not shown.
    return static_cast<int>(std::min<qint64>(count(), std::numeric_limits<int>::max()));
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return record(index.row());
        case Qt::SizeHintRole:
            return m_itemSize.isValid() ? QVariant(m_itemSize) : QVariant();
        default:
            return {};
    }
}

QStringList RecordListModel::texts() const {
    QStringList all;
    all.reserve(static_cast<qsizetype>(m_records.size()));
    for (const QString& text : m_records) all << text;
    return all;
}

void RecordListModel::append(const QStringList& records, qint64 maxFields,
                             std::vector<RecordSource> sources) {
    m_maxFields = std::max(m_maxFields, maxFields);
    if (records.isEmpty()) return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(records.size()) - 1);
    const size_t added = static_cast<size_t>(records.size());
    m_records.reserve(m_records.size() + added);
    for (const QString& text : records) {
        if (m_longest < 0 || text.size() > record(m_longest).size()) m_longest = count();
        m_records.push_back(text);
    }
    sources.resize(added);
    m_sources.insert(m_sources.end(), std::make_move_iterator(sources.begin()),
                     std::make_move_iterator(sources.end()));
    endInsertRows();
}

void RecordListModel::removeRecords(const std::vector<qint64>& ascendingRows) {
    if (ascendingRows.empty()) return;
    // One reset instead of one removal per row: removing rows one by one from a long list moves
    // the rest of it each time.
    beginResetModel();
    std::vector<QString> kept;
    std::vector<RecordSource> keptSources;
    kept.reserve(m_records.size() - std::min(m_records.size(), ascendingRows.size()));
    keptSources.reserve(kept.capacity());
    auto next = ascendingRows.begin();
    m_longest = -1;
    for (qint64 row = 0; row < count(); ++row) {
        if (next != ascendingRows.end() && *next == row) {
            ++next;
            continue;
        }
        QString& text = m_records[static_cast<size_t>(row)];
        if (m_longest < 0 || text.size() > kept[static_cast<size_t>(m_longest)].size()) {
            m_longest = static_cast<qint64>(kept.size());
        }
        kept.push_back(std::move(text));
        keptSources.push_back(std::move(m_sources[static_cast<size_t>(row)]));
    }
    m_records = std::move(kept);
    m_sources = std::move(keptSources);
    if (m_records.empty()) m_maxFields = 0;
    endResetModel();
}

void RecordListModel::clear() {
    beginResetModel();
    m_records.clear();
    m_records.shrink_to_fit();
    m_sources.clear();
    m_sources.shrink_to_fit();
    m_longest = -1;
    m_maxFields = 0;
    endResetModel();
}

QString RecordListModel::longestRecord() const {
    return m_longest < 0 ? QString() : record(m_longest);
}

void RecordListModel::setItemSize(QSize size) {
    if (size == m_itemSize) return;
    m_itemSize = size;
    // The view caches one item size; a layout change makes it ask again.
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}
