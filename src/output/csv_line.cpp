// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/csv_line.h"

QString csvLine(const QString& line) {
    if (line.isEmpty()) return line;
    QString csv = line;
    csv.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    csv.replace(QStringLiteral("','"), QStringLiteral("\",\""));
    csv[0] = QLatin1Char('"');
    csv[csv.size() - 1] = QLatin1Char('"');
    return csv;
}
