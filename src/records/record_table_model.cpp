// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_table_model.h"

#include <algorithm>

#include "records/record_list_model.h"

RecordTableModel::RecordTableModel(RecordListModel* records, QObject* parent)
    : QAbstractTableModel(parent), m_records(records) {
    rebuild();
    connect(records, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { recordsInserted(first, last); });
    // The list removes and clears in one reset: the shown rows follow in one.
    connect(records, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(records, &QAbstractItemModel::modelReset, this, [this] {
        rebuild();
        endResetModel();
    });
    connect(
        records, &QAbstractItemModel::columnsAboutToBeInserted, this,
        [this](const QModelIndex&, int first, int last) { beginInsertColumns({}, first, last); });
    connect(records, &QAbstractItemModel::columnsInserted, this, [this] { endInsertColumns(); });
    connect(
        records, &QAbstractItemModel::columnsAboutToBeRemoved, this,
        [this](const QModelIndex&, int first, int last) { beginRemoveColumns({}, first, last); });
    connect(records, &QAbstractItemModel::columnsRemoved, this, [this] {
        endRemoveColumns();
        // The sorted column may be gone.
        if (m_sortColumn >= columnCount()) sort(-1);
    });
    connect(records, &QAbstractItemModel::headerDataChanged, this,
            &QAbstractItemModel::headerDataChanged);
    connect(records, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole)) {
                    forgetSortOrder();
                    // The fields were split anew: a sorted table sorts them again.
                    if (m_sortColumn >= 0) {
                        rearrange();
                        return;
                    }
                }
                if (m_rows.empty()) return;
                // A changed range of records is scattered over the shown rows when sorted: all
                // shown rows of those columns are said to change, in one signal.
                if (isListOrder()) {
                    emit dataChanged(index(topLeft.row(), topLeft.column()),
                                     index(bottomRight.row(), bottomRight.column()), roles);
                } else {
                    emit dataChanged(index(0, topLeft.column()),
                                     index(rowCount() - 1, bottomRight.column()), roles);
                }
            });
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_records->columnCount();
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    return m_records->data(m_records->index(recordRow(index.row()), index.column()), role);
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        // A row is numbered by its place in the list, whatever order the table shows.
        if (section < 0 || section >= rowCount()) return {};
        return m_records->headerData(recordRow(section), orientation, role);
    }
    return m_records->headerData(section, orientation, role);
}

void RecordTableModel::sort(int column, Qt::SortOrder order) {
    if (column >= columnCount()) column = -1;
    if (column == m_sortColumn && (column < 0 || order == m_order)) return;
    if (column != m_sortColumn || order != m_order) forgetSortOrder();
    m_sortColumn = column;
    m_order = order;
    rearrange();
}

void RecordTableModel::setFilterText(const QString& text) {
    if (text == m_filter) return;
    m_filter = text;
    rearrange();
}

void RecordTableModel::rearrange() {
    m_rearranging = true;
    beginResetModel();
    rebuild();
    endResetModel();
    m_rearranging = false;
}

bool RecordTableModel::accepted(int record) const {
    return m_filter.isEmpty() || m_records->record(record).contains(m_filter, Qt::CaseInsensitive);
}

void RecordTableModel::rebuild() {
    const int records = m_records->rowCount();
    m_rows.clear();
    m_rows.reserve(static_cast<size_t>(records));
    if (m_sortColumn >= 0) {
        for (int record : sortedRecords()) {
            if (accepted(record)) m_rows.push_back(record);
        }
    } else {
        for (int record = 0; record < records; ++record) {
            if (accepted(record)) m_rows.push_back(record);
        }
    }
    m_shownAt.assign(static_cast<size_t>(records), -1);
    for (size_t row = 0; row < m_rows.size(); ++row) {
        m_shownAt[static_cast<size_t>(m_rows[row])] = static_cast<int>(row);
    }
}

void RecordTableModel::forgetSortOrder() {
    m_keys.clear();
    m_keyStart.clear();
    m_sorted.clear();
}

std::u16string_view RecordTableModel::sortKey(int record) const {
    const size_t start = m_keyStart[static_cast<size_t>(record)];
    const size_t end = m_keyStart[static_cast<size_t>(record) + 1];
    // Compared unit by unit in place: keys are short, and a call per comparison into the
    // library's string comparison costs more than the comparing.
    return std::u16string_view(m_keys.data() + start, end - start);
}

const std::vector<int>& RecordTableModel::sortedRecords() {
    const int records = m_records->rowCount();
    const int known = static_cast<int>(m_sorted.size());
    if (known == records) return m_sorted;
    // Keys of the records not seen yet; records only ever join at the end of the list.
    if (m_keyStart.empty()) m_keyStart.push_back(0);
    for (int record = static_cast<int>(m_keyStart.size()) - 1; record < records; ++record) {
        recordfields::appendSortKey(m_records->field(record, m_sortColumn), m_keys);
        m_keyStart.push_back(m_keys.size());
    }
    // Ties keep list order: equal keys are ordered by record, and a new run merges in behind
    // its equals.
    auto sortAndMerge = [this, known](auto before) {
        auto ordered = [&before](int a, int b) {
            const int order = before(a, b);
            return order != 0 ? order < 0 : a < b;
        };
        const auto added = m_sorted.begin() + known;
        std::sort(added, m_sorted.end(), ordered);
        std::inplace_merge(m_sorted.begin(), added, m_sorted.end(), ordered);
    };
    for (int record = known; record < records; ++record) m_sorted.push_back(record);
    if (m_order == Qt::AscendingOrder) {
        sortAndMerge([this](int a, int b) { return sortKey(a).compare(sortKey(b)); });
    } else {
        sortAndMerge([this](int a, int b) { return sortKey(b).compare(sortKey(a)); });
    }
    return m_sorted;
}

void RecordTableModel::recordsInserted(int first, int last) {
    if (m_sortColumn >= 0) {
        // New records fall among the sorted ones.
        rearrange();
        return;
    }
    // The list only grows at its end: shown rows keep their places and new ones follow.
    m_shownAt.resize(static_cast<size_t>(last) + 1, -1);
    std::vector<int> added;
    for (int record = first; record <= last; ++record) {
        if (accepted(record)) added.push_back(record);
    }
    if (added.empty()) return;
    const int shown = rowCount();
    beginInsertRows({}, shown, shown + static_cast<int>(added.size()) - 1);
    for (int record : added) {
        m_shownAt[static_cast<size_t>(record)] = static_cast<int>(m_rows.size());
        m_rows.push_back(record);
    }
    endInsertRows();
}
