// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/record_table_view.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

#include "records/record_list_model.h"
#include "records/record_table_model.h"

namespace {

// The records the last run added stand out in bold until the next run or removal.
class NewRecordDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(RecordListModel::NewRecordRole).toBool()) option->font.setBold(true);
    }
};

// Rows of the table at most measured per column when fitting it.
constexpr int kMeasuredRows = 200;

}  // namespace

RecordTableView::RecordTableView(RecordTableModel* table, QWidget* parent)
    : QTableView(parent), m_table(table) {
    setModel(table);
    setItemDelegate(new NewRecordDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // A long field makes a wide column: scrolled by pixels, it can be read to its end.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setCornerButtonEnabled(false);
    // Every record is one line of one font: rows share one height, so adding a run's records
    // measures no row.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    // Ascending, descending, then list order again; the table opens in list order.
    horizontalHeader()->setSortIndicatorClearable(true);
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(true);

    connect(table, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (m_table->rearranging()) saveSelection();
    });
    connect(table, &QAbstractItemModel::modelReset, this, [this] {
        if (m_saved) restoreSelection();
    });
    // Rows selected before a column was added keep their new cells selected too.
    connect(table, &QAbstractItemModel::columnsInserted, this, [this] {
        if (selectionModel()->hasSelection()) {
            selectionModel()->select(selectionModel()->selection(),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    });
}

void RecordTableView::saveSelection() {
    const int records = m_table->records()->rowCount();
    m_selected.assign(static_cast<size_t>(records), false);
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            m_selected[static_cast<size_t>(m_table->recordRow(row))] = true;
        }
    }
    const QModelIndex current = currentIndex();
    m_currentRecord = current.isValid() ? m_table->recordRow(current.row()) : -1;
    m_saved = true;
}

void RecordTableView::restoreSelection() {
    m_saved = false;
    // Consecutive shown rows become one range: Select All stays one range in any order.
    QItemSelection selection;
    const int rows = m_table->rowCount();
    const int lastColumn = std::max(m_table->columnCount() - 1, 0);
    int start = -1;
    for (int row = 0; row <= rows; ++row) {
        const bool selected =
            row < rows && m_selected[static_cast<size_t>(m_table->recordRow(row))];
        if (selected && start < 0) start = row;
        if (!selected && start >= 0) {
            selection.append(
                QItemSelectionRange(m_table->index(start, 0), m_table->index(row - 1, lastColumn)));
            start = -1;
        }
    }
    m_selected.clear();
    if (m_currentRecord >= 0 && m_currentRecord < static_cast<int>(m_table->records()->count())) {
        const int current = m_table->shownRow(m_currentRecord);
        if (current >= 0) {
            selectionModel()->setCurrentIndex(m_table->index(current, 0),
                                              QItemSelectionModel::NoUpdate);
        }
    }
    if (!selection.isEmpty()) selectionModel()->select(selection, QItemSelectionModel::Select);
}

void RecordTableView::fitColumns(const QString& longest) {
    const RecordListModel* records = m_table->records();
    const QFontMetrics metrics(font());
    const QFontMetrics headerMetrics(horizontalHeader()->font());
    // Room for the cell's margins and, in the header, the sort arrow.
    const int margin = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 8;
    const int arrow = style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, this);
    const int rows = m_table->rowCount();
    std::vector<int> measured;
    for (int row = 0; row < std::min(rows, kMeasuredRows); ++row) measured.push_back(row);
    for (int row = std::max(kMeasuredRows, rows - kMeasuredRows); row < rows; ++row) {
        measured.push_back(row);
    }
    const RecordLayout& layout = records->layout();
    for (int column = 0; column < m_table->columnCount(); ++column) {
        int width = headerMetrics.horizontalAdvance(
                        m_table->headerData(column, Qt::Horizontal).toString()) +
                    margin + arrow;
        for (int row : measured) {
            width =
                std::max(width, metrics.horizontalAdvance(
                                    records->field(m_table->recordRow(row), column).toString()) +
                                    margin);
        }
        if (!longest.isEmpty()) {
            width = std::max(width, metrics.horizontalAdvance(
                                        recordfields::field(longest, column, layout).toString()) +
                                        margin);
        }
        setColumnWidth(column, width);
    }
}
