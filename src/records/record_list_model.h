// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/record_source.h"
#include "records/record_fields.h"

// The records of the attribute list, owned in memory: their texts in the order they were added,
// where each came from, the header row of the run that produced them and the largest field count of
// the comma-delimited ones. A table shows each record as a row of its fields, read from the text
// when a cell is shown, so a run of 100,000 records is one insertion and copies no field.
class RecordListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // True for the records the last run added, which the table marks.
    static constexpr int NewRecordRole = Qt::UserRole;
    // The whole record as it is sent.
    static constexpr int RecordTextRole = Qt::UserRole + 1;

    explicit RecordListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // Field `column` of record `row`: a view into its text.
    QStringView field(qint64 row, int column) const;

    qint64 count() const { return static_cast<qint64>(m_records.size()); }
    bool isEmpty() const { return m_records.empty(); }
    const QString& record(qint64 row) const { return m_records[static_cast<size_t>(row)]; }
    QStringList texts() const;

    // Where the record came from; an empty source for one added without it.
    const RecordSource& source(qint64 row) const;

    // Adds `records` behind the others in one insertion; `maxFields` raises the field count.
    // `sources` go with the records in order; records beyond them get an empty source.
    void append(const QStringList& records, qint64 maxFields = 0,
                std::vector<RecordSource> sources = {});
    // Removes the rows given in ascending order; the others keep their order.
    void removeRecords(const std::vector<qint64>& ascendingRows);
    // Empties the list and sets the field count back to 0; the header row stays until a run
    // replaces it.
    void clear();

    // The header row's fields as the extract file names them (without its "HEADER:" mark).
    const QString& header() const { return m_header; }
    void setHeader(const QString& header) { m_header = header; }

    // Largest field count of the comma-delimited records plus one, as the senders size rows.
    qint64 maxFields() const { return m_maxFields; }
    void setMaxFields(qint64 fields) { m_maxFields = fields; }

    // The record with the most characters: the one to measure for the column widths.
    QString longestRecord() const;

    // How records split into columns and what the columns are called; the columns follow.
    const RecordLayout& layout() const { return m_layout; }
    void setLayout(const RecordLayout& layout);

    // Marks `count` records from `first` as the last run's; removing or clearing records ends
    // the mark.
    void markNewRecords(qint64 first, qint64 count);
    bool isNew(qint64 row) const { return row >= m_newFirst && row < m_newEnd; }

private:
    int widestRecord(qint64 from) const;
    // Sets the column count to what the names and records need, in one change.
    void fitColumns();

    std::vector<QString> m_records;
    // The sources as each run gave them, kept whole: a run of 200,000 records is moved in, not
    // copied or padded record by record. A record past its run's sources has none.
    struct SourceRun {
        qint64 first = 0;
        std::vector<RecordSource> sources;
    };
    RecordSource* sourceAt(qint64 row);
    std::vector<SourceRun> m_sources;
    QString m_header;
    qint64 m_maxFields = 0;
    qint64 m_longest = -1;
    RecordLayout m_layout;
    int m_widest = 0;   // fields of the widest record under the layout
    int m_columns = 0;  // the columns the table has
    qint64 m_newFirst = 0;
    qint64 m_newEnd = 0;
};
