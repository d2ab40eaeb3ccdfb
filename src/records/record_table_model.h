// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <string_view>
#include <vector>

class RecordListModel;

// The records as the table shows them: those holding the filter text, in list order or sorted by
// one column. The list itself keeps its order; a shown row maps back to its record, so what is
// sent stays in list order whatever the table shows.
//
// A new sort or filter rebuilds the shown rows in one reset rather than moving rows one by one:
// with 200,000 records row-by-row changes cost seconds in the views, a reset a few milliseconds.
// rearranging() tells a view that the reset keeps the records, so it can keep their selection.
class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordTableModel(RecordListModel* records, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // A column below 0: list order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    RecordListModel* records() const { return m_records; }
    // The record of shown row `row`, and the shown row of record `record` (-1: filtered out).
    int recordRow(int row) const { return m_rows[static_cast<size_t>(row)]; }
    int shownRow(int record) const { return m_shownAt[static_cast<size_t>(record)]; }
    // True when shown rows are the records in list order, one for one.
    bool isListOrder() const { return m_sortColumn < 0 && m_filter.isEmpty(); }

    // Shows only records holding `text`, letter case aside; an empty text shows every record.
    void setFilterText(const QString& text);
    const QString& filterText() const { return m_filter; }
    int sortColumn() const { return m_sortColumn; }

    // True during a reset made by a new sort or filter, which keeps the records.
    bool rearranging() const { return m_rearranging; }

private:
    void rearrange();
    void rebuild();
    bool accepted(int record) const;
    void recordsInserted(int first, int last);
    // Every record in the sort's order, kept until the records or the sort change: a new filter
    // on a sorted table only walks it, and a new run is merged into it.
    const std::vector<int>& sortedRecords();
    void forgetSortOrder();
    std::u16string_view sortKey(int record) const;

    RecordListModel* m_records;
    std::vector<int> m_rows;     // shown row -> record
    std::vector<int> m_shownAt;  // record -> shown row, -1 when filtered out
    QString m_filter;
    int m_sortColumn = -1;
    Qt::SortOrder m_order = Qt::AscendingOrder;
    bool m_rearranging = false;
    // The sort column's keys, one after another: record r's from m_keyStart[r] to [r + 1].
    std::vector<char16_t> m_keys;
    std::vector<size_t> m_keyStart;
    std::vector<int> m_sorted;
};
