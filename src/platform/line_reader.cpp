// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/line_reader.h"

#include <QFile>
#include <QLocale>
#include <QStringDecoder>

#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/windows1252.h"

namespace platform {

QString decodeText(const QByteArray& bytes) {
    // Windows editors save "Unicode" text as UTF-16 with a mark; read as 8-bit text its every
    // other byte is a NUL and no line would mean anything. The UTF-32 marks come first: their
    // first two bytes are those of UTF-16 little-endian.
    static const struct {
        QByteArrayView mark;
        QStringConverter::Encoding encoding;
    } kMarked[] = {{QByteArrayView("\xFF\xFE\0\0", 4), QStringConverter::Utf32LE},
                   {QByteArrayView("\0\0\xFE\xFF", 4), QStringConverter::Utf32BE},
                   {QByteArrayView("\xFF\xFE", 2), QStringConverter::Utf16LE},
                   {QByteArrayView("\xFE\xFF", 2), QStringConverter::Utf16BE}};
    for (const auto& marked : kMarked) {
        if (!bytes.startsWith(marked.mark)) continue;
        // A cut-off last unit is dropped.
        QStringDecoder decoder(marked.encoding, QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(QByteArrayView(bytes).sliced(marked.mark.size()));
    }
    // A UTF-8 byte order mark is no part of the text, whatever follows it.
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

bool LineReader::open(const QString& path, const ReadLimit& limit) {
    m_lines.clear();
    m_next = 0;
    m_error = pathTooLong(path);
    if (!m_error.isEmpty()) return false;
    QFile file;
    if (!openRegularFile(file, path, m_error)) return false;
    const bool limited = limit.bytes >= 0;
    auto tooLarge = [&] {
        m_error = QStringLiteral("larger than %1, the most %2 may have")
                      .arg(QLocale::c().formattedDataSize(limit.bytes, 0,
                                                          QLocale::DataSizeTraditionalFormat),
                           limit.kind);
        return false;
    };
    if (limited && file.size() > limit.bytes) return tooLarge();
    // One byte past the limit tells a file that grew since its size was looked at.
    const QByteArray bytes = limited ? file.read(limit.bytes + 1) : file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_error = file.errorString();
        return false;
    }
    if (limited && bytes.size() > limit.bytes) return tooLarge();
    m_lines = splitLines(decodeText(bytes));
    return true;
}

bool LineReader::readLine(QString& line) {
    if (atEnd()) return false;
    line = m_lines[m_next++];
    return true;
}

}  // namespace platform
