// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QWidget;

namespace fake {

// What a user would see wrong in a shown window: a caption cut (labels that wrap their text
// excepted), a frame's title cut, a control out of its parent or lying over another. Only the
// controls we named are looked at (Qt's inner widgets have no name or a "qt_" one), and frames
// only hold controls, so they are never compared with what they hold.
QStringList layoutFaults(QWidget& window);

}  // namespace fake
