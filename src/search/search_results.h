// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The lines a search run found, kept field by field: the window shows and copies them joined by
// the run's delimiter, as they are; a CSV file gets each field quoted where it has to be, so a
// value holding the delimiter, a quote or a line break cannot shift the columns.
class SearchResults {
public:
    // Starts an empty result set whose lines are joined by `delimiter`, with `moreColumns`
    // after the search's own.
    void reset(const QString& delimiter, const QStringList& moreColumns = {});

    // The delimiter the engine is asked to put between fields: no drawing, block, layer or
    // file name can hold it, so a found line splits back into its fields without doubt.
    static QString fieldSeparator();
    // Adds a line the engine joined with fieldSeparator(), and the fields of the columns the
    // reset added.
    void addFoundLine(const QString& line, const QStringList& moreFields = {});

    bool isEmpty() const { return m_rows.isEmpty(); }
    qint64 lineCount() const { return m_rows.size(); }
    const QString& delimiter() const { return m_delimiter; }

    // The header line and every result line, each ending in CR LF; empty without results.
    QString text() const;
    // The same, with a field quoted (RFC 4180) when it holds the delimiter, a double quote, a CR
    // or an LF.
    QString csvText() const;
    // The lines from `from` on (0: the header), joined by the delimiter, each ending in LF: what
    // the results box shows.
    QString shownLines(qint64 from) const;

private:
    QString joined(const QStringList& fields) const;

    QString m_delimiter = QStringLiteral(",");
    QStringList m_header;
    QList<QStringList> m_rows;
};

// One field as a CSV file holds it.
QString csvField(const QString& field, const QString& delimiter);
