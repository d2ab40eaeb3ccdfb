// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// True when `bytes` is well-formed UTF-8: no overlong forms, no surrogates, nothing past
// U+10FFFF, no truncated sequence.
bool isValidUtf8(const QByteArray& bytes);

// Windows-1252, written out here so the result never depends on which codecs the Qt build has.
// The five bytes that code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the
// code point of the same value, as Windows itself does.
QString fromWindows1252(const QByteArray& bytes);

}  // namespace platform
