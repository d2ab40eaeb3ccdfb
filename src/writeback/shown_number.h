// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A workbook's number as its cell shows it, through the cell's number format: the text a user
// saw and edited is the text that goes into the drawing.

#include <QLocale>
#include <QString>
#include <optional>

namespace writeback {

struct NumberFormat {
    int id = 0;    // 0: General
    QString code;  // the workbook's own code for `id`, if it defines one
};

// The text of `value` as `format` shows it (the locale's decimal and grouping marks, its month
// and day names), or nothing for a format this reader does not show exactly: General and
// Text; fixed decimals, grouping and percent ("0.00", "#,##0", "0%"); dates and times made of
// year, month, day, hour, minute, second and AM/PM fields; the short date (id 14) and date and
// time (id 22) as this program writes dates. An integer-valued number in General has no
// decimals; other numbers up to 15 significant digits.
std::optional<QString> shownNumber(double value, const NumberFormat& format, bool date1904,
                                   const QLocale& locale = QLocale());

}  // namespace writeback
