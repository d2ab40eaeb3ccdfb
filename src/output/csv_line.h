// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A record or header line in CSV form: each value in double quotes instead of single quotes,
// and a double quote inside a value doubled so the file stays valid CSV.
QString csvLine(const QString& line);
