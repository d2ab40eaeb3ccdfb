// SPDX-License-Identifier: GPL-3.0-or-later
#include "writeback/delimited_file.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <array>
#include <optional>

#include "platform/file_system.h"
#include "platform/line_reader.h"
#include "platform/paths.h"

namespace writeback {
namespace {

const QString kRecordSeparator = QStringLiteral("','");

bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}

// Blanks and tabs at the ends of a line are outside any value of a record line.
QStringView cutBlanks(QStringView text) {
    while (!text.isEmpty() && (text.front() == u' ' || text.front() == u'\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == u' ' || text.back() == u'\t')) text.chop(1);
    return text;
}

// The text being read, where the reading is and on which line, counted from 1.
struct Text {
    const QString& chars;
    qsizetype at = 0;
    int line = 1;

    bool atEnd() const { return at >= chars.size(); }
    // CR LF, a lone CR and a lone LF each end a line.
    void passLineEnd() {
        if (chars[at] == u'\r' && at + 1 < chars.size() && chars[at + 1] == u'\n') ++at;
        ++at;
        ++line;
    }
    QStringView restOfLine() const {
        qsizetype end = at;
        while (end < chars.size() && !isLineEnd(chars[end])) ++end;
        return QStringView(chars).sliced(at, end - at);
    }
    void skipLine() {
        at += restOfLine().size();
        if (!atEnd()) passLineEnd();
    }
};

QString lineReason(int line, const QString& what) {
    return QStringLiteral(", line %1: ").arg(line) + what;
}

QString tooManyValues(int line, qsizetype width) {
    return lineReason(line,
                      QStringLiteral("more values than the header has names (%1).").arg(width));
}

QString tooManyColumns() {
    return QStringLiteral(": more than %1 columns.").arg(kMaxColumns);
}

// The delimiter the header uses most outside double quotes; none when it uses none.
std::optional<QChar> delimiterOf(QStringView header) {
    const std::array<QChar, 3> candidates = {u'\t', u';', u','};  // a tie goes to the first
    std::array<int, 3> counts{};
    bool quoted = false;
    for (const QChar c : header) {
        if (c == u'"') quoted = !quoted;
        if (quoted) continue;
        for (std::size_t i = 0; i < candidates.size(); ++i) counts[i] += c == candidates[i];
    }
    std::optional<QChar> found;
    int most = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (counts[i] > most) {
            most = counts[i];
            found = candidates[i];
        }
    }
    return found;
}

// One line of this program's record form, 'A','B', split into at most `most` values. Empty
// values when the line holds more.
std::optional<QStringList> recordValues(QStringView line, qsizetype most) {
    QStringList values;
    const QStringView inner = line.sliced(1, line.size() - 2);
    qsizetype start = 0;
    for (;;) {
        if (values.size() >= most) return std::nullopt;
        const qsizetype found = inner.indexOf(kRecordSeparator, start);
        if (found < 0) break;
        values.append(inner.sliced(start, found - start).toString());
        start = found + kRecordSeparator.size();
    }
    values.append(inner.sliced(start).toString());
    return values;
}

core::Result<EditTable> readRecordLines(Text& in, TableBuilder& table) {
    QString reason;
    bool header = true;
    while (!in.atEnd()) {
        const int number = in.line;
        const QStringView line = cutBlanks(in.restOfLine());
        in.skipLine();
        if (line.isEmpty()) continue;
        if (line.size() < 2 || line.front() != u'\'' || line.back() != u'\'') {
            return refusal(
                table.origin(),
                lineReason(number, QStringLiteral("not a record line in single "
                                                  "quotes ('A','B') as the header is.")));
        }
        auto values = recordValues(line, header ? kMaxColumns : table.width());
        if (!values) {
            return refusal(table.origin(),
                           header ? tooManyColumns() : tooManyValues(number, table.width()));
        }
        const bool kept = header ? table.setHeader(std::move(*values), reason)
                                 : table.addRow(std::move(*values), number, reason);
        if (!kept) return refusal(table.origin(), reason);
        header = false;
    }
    return table.take();
}

// Reads one record of a delimited file into `values`, at most `most` of them. The reason when
// the record is malformed; empty when it was read.
QString readRecord(Text& in, QChar delimiter, qsizetype most, QStringList& values) {
    values.clear();
    const int recordLine = in.line;
    for (;;) {
        if (values.size() >= most) {
            return most == kMaxColumns ? tooManyColumns() : tooManyValues(recordLine, most);
        }
        QString value;
        if (!in.atEnd() && in.chars[in.at] == u'"') {
            const int opened = in.line;
            ++in.at;
            for (;;) {
                if (in.atEnd()) {
                    return lineReason(opened, QStringLiteral("the quoted value that starts "
                                                             "there has no closing quote."));
                }
                const QChar c = in.chars[in.at];
                if (isLineEnd(c)) {
                    value += u'\n';
                    in.passLineEnd();
                } else if (c != u'"') {
                    value += c;
                    ++in.at;
                } else if (in.at + 1 < in.chars.size() && in.chars[in.at + 1] == u'"') {
                    value += u'"';
                    in.at += 2;
                } else {
                    ++in.at;
                    break;
                }
            }
            if (!in.atEnd() && in.chars[in.at] != delimiter && !isLineEnd(in.chars[in.at])) {
                return lineReason(in.line, QStringLiteral("text after the closing quote of a "
                                                          "value; a quote inside a quoted value "
                                                          "is doubled (\"\")."));
            }
        } else {
            const qsizetype start = in.at;
            while (!in.atEnd() && in.chars[in.at] != delimiter && !isLineEnd(in.chars[in.at])) {
                ++in.at;
            }
            value = in.chars.sliced(start, in.at - start);
        }
        values.append(value);
        if (!in.atEnd() && in.chars[in.at] == delimiter) {
            ++in.at;
            continue;
        }
        if (!in.atEnd()) in.passLineEnd();
        return QString();
    }
}

core::Result<EditTable> readDelimited(Text& in, QChar delimiter, TableBuilder& table) {
    QStringList values;
    QString reason;
    bool header = true;
    while (!in.atEnd()) {
        const int number = in.line;
        reason = readRecord(in, delimiter, header ? kMaxColumns : table.width(), values);
        if (!reason.isEmpty()) return refusal(table.origin(), reason);
        const bool kept =
            header ? table.setHeader(values, reason) : table.addRow(values, number, reason);
        if (!kept) return refusal(table.origin(), reason);
        header = false;
    }
    return table.take();
}

}  // namespace

core::Result<EditTable> parseDelimitedText(const QString& text, const QString& origin) {
    Text in{text};
    TableBuilder table(origin);
    // Excel writes, and reads, a first line "sep=;" that names the delimiter.
    std::optional<QChar> named;
    if (const QStringView first = in.restOfLine().trimmed();
        first.size() == 5 && first.startsWith(u"sep=", Qt::CaseInsensitive) && first[4] != u'"') {
        named = first[4];
        in.skipLine();
    }
    while (!in.atEnd() && in.restOfLine().trimmed().isEmpty()) in.skipLine();
    if (in.atEnd()) {
        return refusal(origin, QStringLiteral(" is empty: it has no header line."));
    }
    const QStringView header = in.restOfLine();
    const QStringView trimmed = cutBlanks(header);
    if (!named && trimmed.size() >= 2 && trimmed.front() == u'\'' && trimmed.back() == u'\'') {
        return readRecordLines(in, table);
    }
    const std::optional<QChar> delimiter = named ? named : delimiterOf(header);
    if (!delimiter && !trimmed.contains(u'"') && trimmed.contains(QLatin1String("  "))) {
        return refusal(origin,
                       lineReason(in.line, QStringLiteral("the names are separated by blanks only; "
                                                          "space-delimited records cannot be read "
                                                          "back. Send them comma-delimited.")));
    }
    return readDelimited(in, delimiter.value_or(u','), table);
}

core::Result<EditTable> readDelimitedFile(const QString& path) {
    const QString file = platform::resolvePath(path);
    const QString origin = QFileInfo(file).fileName();
    QFile input;
    QString error;
    if (!platform::openRegularFile(input, file, error)) {
        return refusal(origin, QStringLiteral(" cannot be read: ") + error + u'.');
    }
    if (input.size() > kMaxTextFileBytes) {
        return refusal(origin, QStringLiteral(" is larger than %1, the most a source of edited "
                                              "values may have.")
                                   .arg(QLocale::c().formattedDataSize(
                                       kMaxTextFileBytes, 0, QLocale::DataSizeTraditionalFormat)));
    }
    // Asking for the limit at once would set that much memory aside for every small file; a
    // file that grows while it is read is read to its end, or to one byte past the limit.
    QByteArray bytes = input.read(std::min(input.size(), kMaxTextFileBytes) + 1);
    while (bytes.size() <= kMaxTextFileBytes && input.error() == QFileDevice::NoError) {
        const QByteArray more = input.read(64 * 1024);
        if (more.isEmpty()) break;
        bytes += more;
    }
    if (input.error() != QFileDevice::NoError) {
        return refusal(origin, QStringLiteral(" cannot be read: ") + input.errorString() + u'.');
    }
    if (bytes.size() > kMaxTextFileBytes) {
        return refusal(origin, QStringLiteral(" grew past %1 while it was read.")
                                   .arg(QLocale::c().formattedDataSize(
                                       kMaxTextFileBytes, 0, QLocale::DataSizeTraditionalFormat)));
    }
    return parseDelimitedText(platform::decodeText(bytes), origin);
}

}  // namespace writeback
