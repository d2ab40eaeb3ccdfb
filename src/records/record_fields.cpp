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

bool naturalLess(QStringView a, QStringView b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            // Leading zeros aside, the longer run of digits is the larger number.
            qsizetype aEnd = i;
            qsizetype bEnd = j;
            while (aEnd < a.size() && a[aEnd].isDigit()) ++aEnd;
            while (bEnd < b.size() && b[bEnd].isDigit()) ++bEnd;
            qsizetype aStart = i;
            qsizetype bStart = j;
            while (aStart + 1 < aEnd && a[aStart] == u'0') ++aStart;
            while (bStart + 1 < bEnd && b[bStart] == u'0') ++bStart;
            if (aEnd - aStart != bEnd - bStart) return aEnd - aStart < bEnd - bStart;
            const int order =
                a.sliced(aStart, aEnd - aStart).compare(b.sliced(bStart, bEnd - bStart));
            if (order != 0) return order < 0;
            i = aEnd;
            j = bEnd;
            continue;
        }
        const char32_t x = a[i].toCaseFolded().unicode();
        const char32_t y = b[j].toCaseFolded().unicode();
        if (x != y) return x < y;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

}  // namespace recordfields
