// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A two-dimensional array of values: dimension 1 is the row, dimension 2 the column, both
// counted from 0. The attribute page is built from one, and any table of values can be written
// as a page. A QVariant carries it, so a caller can tell "an array" from "a plain value" and
// from "a list of one dimension" the way the page writer's result codes do.

#include <QLocale>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class ValueArray {
public:
    virtual ~ValueArray() = default;
    virtual qint64 rowCount() const = 0;
    virtual int columnCount() const = 0;
    virtual QVariant value(qint64 row, int column) const = 0;
    // The element's plain text: empty for an empty element, numbers in the program's text forms.
    virtual QString text(qint64 row, int column, const QLocale& locale) const;
};

// A table that holds one value per cell.
class ValueGrid : public ValueArray {
public:
    ValueGrid(qint64 rows, int columns);
    void set(qint64 row, int column, QVariant value);

    qint64 rowCount() const override { return m_rows; }
    int columnCount() const override { return m_columns; }
    QVariant value(qint64 row, int column) const override;

private:
    qint64 m_rows = 0;
    int m_columns = 0;
    std::vector<QVariant> m_cells;
};

using ValueArrayPtr = std::shared_ptr<const ValueArray>;
Q_DECLARE_METATYPE(ValueArrayPtr)

namespace valuearray {

QVariant toVariant(ValueArrayPtr array);
// The two-dimensional array `value` holds; null for a plain value or a one-dimensional list.
const ValueArray* of(const QVariant& value);
bool isOneDimensional(const QVariant& value);

// The plain text form of one value: empty for an empty value; a double as a general real, a
// float as a single real, whole numbers in decimal, Booleans as "True" and "False".
QString plainText(const QVariant& value, const QLocale& locale);

}  // namespace valuearray
