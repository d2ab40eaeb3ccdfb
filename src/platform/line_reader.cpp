// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/line_reader.h"

#include <QFile>

#include "platform/windows1252.h"

namespace platform {

QString decodeText(const QByteArray& bytes) {
    // A byte order mark says UTF-8 but is no part of the text, whatever follows it.
    static constexpr char kBom[] = "\xEF\xBB\xBF";
    const QByteArray body = bytes.startsWith(kBom) ? bytes.sliced(3) : bytes;
    return isValidUtf8(body) ? QString::fromUtf8(body) : fromWindows1252(body);
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < size) lines.append(text.mid(start));
    return lines;
}

bool LineReader::open(const QString& path) {
    m_lines.clear();
    m_next = 0;
    m_error.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_error = file.errorString();
        return false;
    }
    m_lines = splitLines(decodeText(bytes));
    return true;
}

bool LineReader::readLine(QString& line) {
    if (atEnd()) return false;
    line = m_lines[m_next++];
    return true;
}

}  // namespace platform
