// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace testfiles {

// The attribute values of the block reference `handle` of the drawing at `path`, as read by
// the reader, as "TAG=value" pairs in the reference's order; a drawing that does not read
// fails the test.
QStringList attributeValuesOf(const QString& path, const QString& handle);

}  // namespace testfiles
