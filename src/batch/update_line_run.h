// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A drawing list's update line: the source read, the plan made and, unless the line only plans,
// applied. What could not be applied comes back as err.log lines.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "batch/list_line.h"

namespace batch {

struct UpdateLineResult {
    QString status;        // for the status line
    QStringList failures;  // one err.log line each: what could not be applied, and why
};

// `logFolder` is err.log's folder: a planning line writes update-plan.csv there. An applying
// line writes the undo file beside the source.
UpdateLineResult runUpdateLine(const UpdateLine& line, const QString& logFolder,
                               const QDateTime& now);

}  // namespace batch
