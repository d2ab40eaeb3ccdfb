// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Lets test failures show Qt strings as text instead of byte dumps.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '[';
    for (const QString& item : list) *os << '"' << item.toStdString() << "\" ";
    *os << ']';
}
