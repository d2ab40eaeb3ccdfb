// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/help_text.h"

namespace {

bool isUnderline(const QString& line, const QString& above) {
    const QString rule = line.trimmed();
    if (rule.size() < 3 || above.trimmed().isEmpty()) return false;
    const QChar mark = rule.front();
    if (mark != QLatin1Char('-') && mark != QLatin1Char('=')) return false;
    for (const QChar c : rule) {
        if (c != mark) return false;
    }
    return rule.size() * 2 >= above.trimmed().size();
}

}  // namespace

HelpText helpTextFrom(const QString& text) {
    HelpText help;
    QString page;
    QString block;  // the lines since the last heading, shown as written
    const auto flushBlock = [&] {
        // Blank lines around headings are the header's own spacing.
        while (block.startsWith(QLatin1Char('\n'))) block.remove(0, 1);
        while (block.endsWith(QStringLiteral("\n\n"))) block.chop(1);
        if (!block.trimmed().isEmpty()) {
            page += QStringLiteral("<pre style=\"white-space: pre-wrap\">") +
                    block.toHtmlEscaped() + QStringLiteral("</pre>");
        }
        block.clear();
    };
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        QString next = i + 1 < lines.size() ? lines[i + 1] : QString();
        if (next.endsWith(QLatin1Char('\r'))) next.chop(1);
        if (isUnderline(next, line)) {
            flushBlock();
            const QString anchor =
                QStringLiteral("heading-") + QString::number(help.headings.size());
            const bool title =
                help.headings.isEmpty() && next.trimmed().front() == QLatin1Char('=');
            const QString tag = title ? QStringLiteral("h2") : QStringLiteral("h3");
            page += QLatin1Char('<') + tag + QStringLiteral(" id=\"") + anchor +
                    QStringLiteral("\">") + line.trimmed().toHtmlEscaped() + QStringLiteral("</") +
                    tag + QLatin1Char('>');
            if (!title) help.headings.push_back({line.trimmed(), anchor});
            ++i;  // the underline
            continue;
        }
        block += line + QLatin1Char('\n');
    }
    flushBlock();
    help.html = page;
    return help;
}
