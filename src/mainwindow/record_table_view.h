// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableView>
#include <vector>

class RecordTableModel;

// The attribute list as a table: one row per record, one column per field, sortable by a click on
// a column's header (a third click goes back to list order). Whole rows are selected. A new sort
// or filter keeps the selection of the records still shown; rows of the last run are drawn bold.
class RecordTableView : public QTableView {
    Q_OBJECT
public:
    explicit RecordTableView(RecordTableModel* table, QWidget* parent = nullptr);

    RecordTableModel* table() const { return m_table; }
    // Sizes each column to its header and to the fields of the rows a user sees first, the last
    // rows and the record `longest`, measuring those only: a long list is not read whole.
    void fitColumns(const QString& longest);

private:
    void saveSelection();
    void restoreSelection();

    RecordTableModel* m_table;
    std::vector<bool> m_selected;  // by record, kept while the shown rows are rebuilt
    int m_currentRecord = -1;
    bool m_saved = false;
};
