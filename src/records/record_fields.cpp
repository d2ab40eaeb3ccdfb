// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_fields.h"

namespace recordfields {
namespace {

const QString kQuoted = QStringLiteral("','");

// The text the fields lie in and the separator between them; an empty separator: one field.
struct Split {
    QStringView text;
    QStringView separator;
};

Split splitOf(QStringView line, const RecordLayout& layout, const QString& blanks) {
    if (layout.commaDelimited) {
        // Only a line in its quotes is split: anything else is shown whole.
        if (line.size() >= 2 && line.front() == u'\'' && line.back() == u'\'') {
            return {line.mid(1, line.size() - 2), kQuoted};
        }
        return {line, {}};
    }
    return {line, blanks};
}

QString blanksOf(const RecordLayout& layout) {
    return layout.commaDelimited ? QString() : QString(std::max(layout.spaces, 0), u' ');
}

}  // namespace

int count(QStringView line, const RecordLayout& layout) {
    const QString blanks = blanksOf(layout);
    const Split split = splitOf(line, layout, blanks);
    if (split.separator.isEmpty()) return 1;
    int fields = 1;
    for (qsizetype at = split.text.indexOf(split.separator); at >= 0;
         at = split.text.indexOf(split.separator, at + split.separator.size())) {
        ++fields;
    }
    return fields;
}

QStringView field(QStringView line, int column, const RecordLayout& layout) {
    const QString blanks = blanksOf(layout);
    const Split split = splitOf(line, layout, blanks);
    if (split.separator.isEmpty()) return column == 0 ? split.text : QStringView();
    qsizetype start = 0;
    for (int skipped = 0; skipped < column; ++skipped) {
        const qsizetype at = split.text.indexOf(split.separator, start);
        if (at < 0) return {};
        start = at + split.separator.size();
    }
    const qsizetype end = split.text.indexOf(split.separator, start);
    return split.text.mid(start, end < 0 ? split.text.size() - start : end - start);
}

QStringList commaDelimited(QStringView line) {
    const RecordLayout layout;
    QStringList fields;
    if (line.isEmpty()) return fields;
    const int total = count(line, layout);
    for (int column = 0; column < total; ++column) {
        fields << field(line, column, layout).toString();
    }
    return fields;
}

void appendSortKey(QStringView text, std::vector<char16_t>& key) {
    auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (isDigit(c)) {
            // A run of digits, leading zeros aside, as a '0', its length and its digits: the
            // longer run is the larger number, and runs of one length compare digit by digit.
            qsizetype end = i;
            while (end < text.size() && isDigit(text[end])) ++end;
            qsizetype start = i;
            while (start + 1 < end && text[start] == u'0') ++start;
            key.push_back(u'0');
            key.push_back(static_cast<char16_t>(std::min<qsizetype>(end - start, 0xFFFF)));
            for (qsizetype d = start; d < end; ++d) key.push_back(text[d].unicode());
            i = end;
            continue;
        }
        const char16_t unit = c.unicode();
        if (unit < 0x80) {
            key.push_back(unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 32) : unit);
        } else {
            key.push_back(c.toCaseFolded().unicode());
        }
        ++i;
    }
}

}  // namespace recordfields
