// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Qt name filters for a "|"-separated filter text ("Text Files (*.txt)|*.txt|All Files|*.*").
// Each filter shows its display name as given; its patterns match ignoring letter case, and
// "*.*" matches every name, as the program's own wildcards do. Use with
// QFileDialog::HideNameFilterDetails, which hides the rewritten patterns.
QStringList qtNameFilters(const QString& filter);

// A wildcard rewritten so that a case-sensitive matcher ignores letter case: "*.dwg" becomes
// "*.[dD][wW][gG]".
QString caseInsensitiveWildcard(const QString& pattern);

}  // namespace platform
