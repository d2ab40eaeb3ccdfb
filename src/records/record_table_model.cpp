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
    for (int record = 0; record < records; ++record) {
        if (accepted(record)) m_rows.push_back(record);
    }
    if (m_sortColumn >= 0) {
        // Each field is read once, not once per comparison; ties keep list order.
        std::vector<QStringView> keys(static_cast<size_t>(records));
        for (int record : m_rows) {
            keys[static_cast<size_t>(record)] = m_records->field(record, m_sortColumn);
        }
        const bool ascending = m_order == Qt::AscendingOrder;
        std::stable_sort(m_rows.begin(), m_rows.end(), [&keys, ascending](int a, int b) {
            const QStringView x = keys[static_cast<size_t>(a)];
            const QStringView y = keys[static_cast<size_t>(b)];
            return ascending ? recordfields::naturalLess(x, y) : recordfields::naturalLess(y, x);
        });
    }
    m_shownAt.assign(static_cast<size_t>(records), -1);
    for (size_t row = 0; row < m_rows.size(); ++row) {
        m_shownAt[static_cast<size_t>(m_rows[row])] = static_cast<int>(row);
    }
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
