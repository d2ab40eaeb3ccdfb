// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/record_source.h"

// The records of the attribute list, owned in memory: their texts in the order they were added,
// where each came from, the header row of the run that produced them and the largest field count of
// the comma-delimited ones. A view shows them with uniform item sizes, so a run of 100,000 records
// is one insertion and costs no layout per item.
class RecordListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit RecordListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    qint64 count() const { return static_cast<qint64>(m_records.size()); }
    bool isEmpty() const { return m_records.empty(); }
    const QString& record(qint64 row) const { return m_records[static_cast<size_t>(row)]; }
    QStringList texts() const;

    // Where the record came from; an empty source for one added without it.
    const RecordSource& source(qint64 row) const { return m_sources[static_cast<size_t>(row)]; }

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

    // The record with the most characters: the one to measure for the scroll width.
    QString longestRecord() const;
    // The size every row reports, so the view lays out from one value (an invalid size: the
    // delegate's own).
    void setItemSize(QSize size);

private:
    std::vector<QString> m_records;
    std::vector<RecordSource> m_sources;  // one per record
    QString m_header;
    qint64 m_maxFields = 0;
    qint64 m_longest = -1;
    QSize m_itemSize;
};
