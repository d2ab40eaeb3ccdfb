// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

// A table of texts, rows and columns counted from 0: what the page writer shows. The attribute
// table is one; a test can give any other.
class TextTable {
public:
    virtual ~TextTable() = default;
    virtual qint64 rowCount() const = 0;
    virtual int columnCount() const = 0;
    // The cell's text; numbers in the program's text forms for `locale`.
    virtual QString text(qint64 row, int column, const QLocale& locale) const = 0;
};
