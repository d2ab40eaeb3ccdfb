// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Plans and old values as CSV text: one field quoted where it holds a comma, a quote or a line
// break (RFC 4180), lines ended with CR LF, as spreadsheet programs open them.

#include <QString>

#include "writeback/update_plan.h"

namespace writeback {

QString csvField(const QString& text);

// The plan, a line per attribute: DRAWING, ROW, BLOCK, HANDLE, TAG, NOW, NEW, STATUS, REASON.
QString planCsv(const UpdatePlan& plan);

// "change", "unchanged" or "problem".
QString statusWord(ValueStatus status);

}  // namespace writeback
