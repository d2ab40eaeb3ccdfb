// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The most a reader takes from a file the user names: a file of that kind larger than this
// is crafted or a mistake, and reading it whole could exhaust memory.
struct ReadLimit {
    qint64 bytes = -1;  // no limit
    QString kind;       // what the file is, for the refusal: "a template"
};

// Reads a text file line by line. CR LF, a lone CR and a lone LF each end a line; a final line
// without an end is a line too, and a file ending with a line end has no empty last line.
// The text is decoded by decodeText. Only a regular file is read: a device or a named pipe
// is refused, as is a file larger than the limit.
class LineReader {
public:
    // False when the file cannot be read or is refused.
    bool open(const QString& path, const ReadLimit& limit = {});
    bool readLine(QString& line);  // false at the end of the file
    bool atEnd() const { return m_next >= m_lines.size(); }
    // Why the last open failed, in the system's words or the refusal's.
    QString errorString() const { return m_error; }

private:
    QStringList m_lines;
    QString m_error;
    qsizetype m_next = 0;
};

// Decodes bytes as the text a byte order mark announces (UTF-8, UTF-16 or UTF-32, either byte
// order), else as UTF-8 when valid, else as Windows-1252. The mark is dropped.
QString decodeText(const QByteArray& bytes);

// Splits text at CR LF, lone CR and lone LF.
QStringList splitLines(const QString& text);

}  // namespace platform
