// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Reads a text file line by line. CR LF, a lone CR and a lone LF each end a line; a final line
// without an end is a line too, and a file ending with a line end has no empty last line.
// The bytes are UTF-8 when they are valid UTF-8, else Windows-1252.
class LineReader {
public:
    bool open(const QString& path);  // false when the file cannot be read
    bool readLine(QString& line);    // false at the end of the file
    bool atEnd() const { return m_next >= m_lines.size(); }
    // Why the last open failed, in the system's words.
    QString errorString() const { return m_error; }

private:
    QStringList m_lines;
    QString m_error;
    qsizetype m_next = 0;
};

// Decodes bytes as UTF-8 when valid, else as Windows-1252. A leading UTF-8 byte order mark is
// dropped.
QString decodeText(const QByteArray& bytes);

// Splits text at CR LF, lone CR and lone LF.
QStringList splitLines(const QString& text);

}  // namespace platform
