// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/value_array.h"

#include "engine/text_forms.h"

QString ValueArray::text(qint64 row, int column, const QLocale& locale) const {
    return valuearray::plainText(value(row, column), locale);
}

ValueGrid::ValueGrid(qint64 rows, int columns)
    : m_rows(qMax<qint64>(rows, 0)),
      m_columns(qMax(columns, 0)),
      m_cells(static_cast<size_t>(m_rows) * static_cast<size_t>(m_columns)) {}

void ValueGrid::set(qint64 row, int column, QVariant value) {
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns) return;
    m_cells[static_cast<size_t>(row * m_columns + column)] = std::move(value);
}

QVariant ValueGrid::value(qint64 row, int column) const {
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns) return {};
    return m_cells[static_cast<size_t>(row * m_columns + column)];
}

namespace valuearray {

QVariant toVariant(ValueArrayPtr array) {
    return QVariant::fromValue(std::move(array));
}

const ValueArray* of(const QVariant& value) {
    if (value.metaType() != QMetaType::fromType<ValueArrayPtr>()) return nullptr;
    return value.value<ValueArrayPtr>().get();
}

bool isOneDimensional(const QVariant& value) {
    const QMetaType type = value.metaType();
    return type == QMetaType::fromType<QVariantList>() ||
           type == QMetaType::fromType<QStringList>();
}

QString plainText(const QVariant& value, const QLocale& locale) {
    if (!value.isValid() || value.isNull()) return {};
    switch (value.metaType().id()) {
        case QMetaType::Double:
            return textforms::generalReal(value.toDouble(), locale);
        case QMetaType::Float:
            return textforms::singleReal(value.toFloat(), locale);
        case QMetaType::Bool:
            return textforms::boolean(value.toBool());
        case QMetaType::Short:
        case QMetaType::Int:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return textforms::wholeNumber(value.toLongLong());
        default:
            return value.toString();
    }
}

}  // namespace valuearray
