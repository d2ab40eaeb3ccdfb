// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/html_table.h"

#include <functional>

#include "engine/blanks.h"
#include "platform/text_writer.h"

namespace htmltable {
namespace {

const QString kLineEnd = QStringLiteral("\r\n");
// A page is written in pieces of about this many characters, so a table of a few hundred
// thousand rows never stands in memory whole.
constexpr qsizetype kPieceSize = 1 << 20;

QString alignWord(HtmlAlign align) {
    switch (align) {
        case HtmlAlign::Left:
            return QStringLiteral("LEFT");
        case HtmlAlign::Center:
            return QStringLiteral("CENTER");
        case HtmlAlign::Right:
            return QStringLiteral("RIGHT");
        case HtmlAlign::None:
            break;
    }
    return {};
}

bool blank(const QString& text) {
    return blanks::cut(text).isEmpty();
}

QString openingTag(const HtmlTableStyle& style) {
    QString tag = QStringLiteral("<TABLE ALIGN=") + alignWord(style.tableAlign) +
                  QStringLiteral(" BORDER=") + QString::number(style.border) +
                  QStringLiteral(" CELLSPACING=") + QString::number(style.cellSpacing) +
                  QStringLiteral(" CELLPADDING=") + QString::number(style.cellPadding) +
                  QStringLiteral(" WIDTH='") + QString::number(style.widthPercent) +
                  QStringLiteral("%'");
    if (!blank(style.background)) tag += QStringLiteral(" BACKGROUND='") + style.background + '\'';
    if (!blank(style.backgroundColor)) {
        tag += QStringLiteral(" BGCOLOR='") + style.backgroundColor + '\'';
    }
    if (!blank(style.borderColor)) {
        tag += QStringLiteral(" BORDERCOLOR='") + style.borderColor + '\'';
    }
    return tag + QStringLiteral("><TBODY>") + kLineEnd;
}

void appendEscaped(QString& out, const QString& text) {
    for (const QChar c : text) {
        switch (c.unicode()) {
            case '&':
                out += QLatin1String("&amp;");
                break;
            case '<':
                out += QLatin1String("&lt;");
                break;
            case '>':
                out += QLatin1String("&gt;");
                break;
            case '"':
                out += QLatin1String("&quot;");
                break;
            case '\'':
                out += QLatin1String("&#39;");
                break;
            default:
                out += c;
        }
    }
}

// Appends the table to `out`; `flush`, when given, takes what has been built whenever it grows
// past a piece.
void appendTable(const TextTable& array, const HtmlTableStyle& style, EngineUi& ui, QString& out,
                 const std::function<void(QString&)>& flush) {
    const QLocale locale = QLocale::system();
    out += openingTag(style);
    QString rowTag = QStringLiteral("<TR ALIGN=") + alignWord(style.cellAlign);
    if (!style.wrapCellData) rowTag += QStringLiteral(" NOWRAP");
    rowTag += '>';

    const qint64 rows = array.rowCount();
    const int columns = array.columnCount();
    for (qint64 row = 0; row < rows; ++row) {
        ui.processPendingEvents();
        out += rowTag;
        const bool boldRow =
            (style.boldFirstRow && row == 0) || (style.boldLastRow && row == rows - 1);
        for (int column = 0; column < columns; ++column) {
            const bool bold = boldRow || (style.boldFirstColumn && column == 0);
            const QString text = array.text(row, column, locale);
            if (bold) {
                out += QLatin1String("<TD><STRONG>");
                appendEscaped(out, text);
                out += QLatin1String("</STRONG></TD>");
            } else {
                out += column == columns - 1 ? QLatin1String("<TD>") : QLatin1String("<TD NOWRAP>");
                appendEscaped(out, text);
                out += QLatin1String("</TD>");
            }
        }
        out += QLatin1String("</TR>");
        out += kLineEnd;
        if (flush && out.size() >= kPieceSize) flush(out);
    }
    out += QLatin1String("</TBODY></TABLE>");
}

}  // namespace

QString escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

QString toTable(const TextTable& table, const HtmlTableStyle& style, EngineUi& ui) {
    QString built;
    appendTable(table, style, ui, built, {});
    return built;
}

core::Status toFile(const TextTable& table, const QString& path, const HtmlPageStyle& page,
                    const HtmlTableStyle& style, EngineUi& ui) {
    platform::TextWriter file;
    auto fail = [&] { return core::Error{-1, file.errorString()}; };
    if (!file.open(path, platform::TextWriter::Mode::Replace)) return fail();

    // The heading stands in the head, before the title, as it always has; browsers show it at
    // the top of the page all the same. The character set comes first so it is found.
    QString text;
    text.reserve(kPieceSize + kPieceSize / 8);
    text += QStringLiteral("<HTML>\r\n<HEAD>\r\n<meta charset=\"utf-8\">\r\n");
    if (!blank(page.heading)) {
        text += QLatin1String("<STRONG><CENTER>");
        appendEscaped(text, page.heading);
        text += QLatin1String("</CENTER></STRONG><BR>\r\n");
    }
    text += QLatin1String("<TITLE>\r\n");
    if (!blank(page.title)) {
        appendEscaped(text, page.title);
        text += kLineEnd;
    }
    text += QLatin1String("</TITLE>\r\n</HEAD>\r\n<BODY ");
    if (!blank(page.backgroundColor)) {
        text += QStringLiteral(" BGCOLOR='") + page.backgroundColor + '\'';
    }
    if (!blank(page.background)) text += QStringLiteral(" BACKGROUND='") + page.background + '\'';
    text += QLatin1String(">\r\n");

    appendTable(table, style, ui, text, [&](QString& piece) {
        file.write(piece);
        piece.resize(0);  // keeps its room for the next piece
    });
    text += QLatin1String("\r\n</BODY>\r\n</HTML>\r\n\r\n");
    file.write(text);
    if (!file.commit()) return fail();
    return core::success();
}

}  // namespace htmltable
