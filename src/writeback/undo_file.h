// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The undo file of a run: a by-reference source of the same kind as the run's own (a text
// file, a workbook, a database) holding the values the drawings had, so that applying it puts
// them back.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "writeback/edit_source.h"

namespace writeback {

// Where the undo of a run from `source` goes, beside it: "NAME-undo-YYYYMMDD-HHMMSS" with the
// source's own suffix (a text file's becomes .csv, whatever its delimiter), in the source's
// kind; a workbook's values go to its first sheet, a database's to a table named as the
// source's (that file holds nothing else).
EditSource undoSourceFor(const EditSource& source, const QDateTime& now);

// Writes `header` and `rows` to `target` as a new file (to a temporary file renamed into
// place). An existing file is never changed: where `target` names one, "-2", "-3" ... is added
// to its name, and `target` says where the table went. Values are stored as text, so each reads
// back as it was. The reason when it cannot be written, or an empty string.
QString writeUndoTable(EditSource& target, const QStringList& header,
                       const std::vector<QStringList>& rows);

}  // namespace writeback
