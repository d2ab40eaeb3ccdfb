// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_list_model.h"

#include <algorithm>
#include <limits>

RecordListModel::RecordListModel(QObject* parent) : QAbstractTableModel(parent) {}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    // A view counts rows in int; more records than that are kept but not shown.
    return static_cast<int>(std::min<qint64>(count(), std::numeric_limits<int>::max()));
}

int RecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return field(index.row(), index.column()).toString();
        case RecordTextRole:
            return record(index.row());
        case NewRecordRole:
            return isNew(index.row());
        default:
            return {};
    }
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0) return {};
    if (orientation == Qt::Vertical) return section + 1;
    // Columns past the header row's names (a drawing with more attributes than the one that
    // named them) are numbered.
    if (section < m_layout.names.size()) return m_layout.names[section];
    return QStringLiteral("Field ") + QString::number(section + 1);
}

QStringView RecordListModel::field(qint64 row, int column) const {
    return recordfields::field(record(row), column, m_layout);
}

RecordSource* RecordListModel::sourceAt(qint64 row) {
    auto after = std::upper_bound(m_sources.begin(), m_sources.end(), row,
                                  [](qint64 r, const SourceRun& run) { return r < run.first; });
    if (after == m_sources.begin()) return nullptr;
    SourceRun& run = *(after - 1);
    const auto at = static_cast<size_t>(row - run.first);
    return at < run.sources.size() ? &run.sources[at] : nullptr;
}

const RecordSource& RecordListModel::source(qint64 row) const {
    static const RecordSource none;
    const RecordSource* found = const_cast<RecordListModel*>(this)->sourceAt(row);
    return found ? *found : none;
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
    if (sources.size() > added) sources.resize(added);
    if (!sources.empty()) m_sources.push_back({first, std::move(sources)});
    endInsertRows();
    m_widest = std::max(m_widest, widestRecord(first));
    fitColumns();
}

void RecordListModel::removeRecords(const std::vector<qint64>& ascendingRows) {
    if (ascendingRows.empty()) return;
    // One reset instead of one removal per row: removing rows one by one from a long list moves
    // the rest of it each time.
    beginResetModel();
    std::vector<QString> kept;
    SourceRun keptSources;
    kept.reserve(m_records.size() - std::min(m_records.size(), ascendingRows.size()));
    keptSources.sources.reserve(kept.capacity());
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
        RecordSource* source = sourceAt(row);
        keptSources.sources.push_back(source ? std::move(*source) : RecordSource());
    }
    m_records = std::move(kept);
    m_sources.clear();
    m_sources.push_back(std::move(keptSources));
    if (m_records.empty()) m_maxFields = 0;
    m_newFirst = m_newEnd = 0;
    m_widest = widestRecord(0);
    m_columns = std::max(static_cast<int>(m_layout.names.size()), m_widest);
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
    m_newFirst = m_newEnd = 0;
    m_widest = 0;
    m_columns = static_cast<int>(m_layout.names.size());
    endResetModel();
}

QString RecordListModel::longestRecord() const {
    return m_longest < 0 ? QString() : record(m_longest);
}

void RecordListModel::setLayout(const RecordLayout& layout) {
    if (layout == m_layout) return;
    const bool splitChanged =
        layout.commaDelimited != m_layout.commaDelimited || layout.spaces != m_layout.spaces;
    m_layout = layout;
    if (splitChanged) {
        m_widest = widestRecord(0);
        if (m_columns > 0 && !isEmpty()) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, m_columns - 1), {Qt::DisplayRole});
        }
    }
    fitColumns();
    if (m_columns > 0) emit headerDataChanged(Qt::Horizontal, 0, m_columns - 1);
}

void RecordListModel::markNewRecords(qint64 first, qint64 count) {
    const qint64 oldFirst = m_newFirst;
    const qint64 oldEnd = m_newEnd;
    m_newFirst = first;
    m_newEnd = first + count;
    auto changed = [this](qint64 from, qint64 end) {
        if (end > from && m_columns > 0) {
            emit dataChanged(index(static_cast<int>(from), 0),
                             index(static_cast<int>(end - 1), m_columns - 1), {NewRecordRole});
        }
    };
    changed(oldFirst, std::min(oldEnd, this->count()));
    changed(m_newFirst, std::min(m_newEnd, this->count()));
}

int RecordListModel::widestRecord(qint64 from) const {
    int widest = 0;
    for (qint64 row = from; row < count(); ++row) {
        widest = std::max(widest, recordfields::count(record(row), m_layout));
    }
    return widest;
}

void RecordListModel::fitColumns() {
    const int wanted = std::max(static_cast<int>(m_layout.names.size()), m_widest);
    if (wanted > m_columns) {
        beginInsertColumns({}, m_columns, wanted - 1);
        m_columns = wanted;
        endInsertColumns();
    } else if (wanted < m_columns) {
        beginRemoveColumns({}, wanted, m_columns - 1);
        m_columns = wanted;
        endRemoveColumns();
    }
}
