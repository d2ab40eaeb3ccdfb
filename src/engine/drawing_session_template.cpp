// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/result.h"
#include "engine/blanks.h"
#include "engine/drawing_session.h"
#include "platform/line_reader.h"

// clang-format off
const std::array<const char*, DrawingSession::kFieldCount> DrawingSession::kFieldNames = {
    "BLOCK_NAME",
    "BLOCK_EFFECTIVENAME",
    "BLOCK_LAYER",
    "BLOCK_SPACE",
    "BLOCK_OWNERID",
    "BLOCK_OBJECTID",
    "BLOCK_OBJECTNAME",
    "BLOCK_HANDLE",
    "BLOCK_COLOR",
    "BLOCK_LINETYPE",
    "BLOCK_ROTATION",
    "BLOCK_VISIBLE",
    "BLOCK_XSCALE",
    "BLOCK_YSCALE",
    "BLOCK_ZSCALE",
    "BLOCK_LINETYPESCALE",
    "BLOCK_LINEWEIGHT",
    "BLOCK_HASEXTENTIONDICTIONARY",
    "BLOCK_X",
    "BLOCK_Y",
    "BLOCK_Z"};
// clang-format on

namespace {

QString cutUpper(const QString& line) {
    return blanks::cut(line).toUpper();
}

// A block or layer list other than "*" gets a blank at each end and between the names, so a
// name is found by looking for blank + name + blank.
QString normalisedList(const QString& list) {
    if (list == QLatin1String("*")) return list;
    QString names = list;
    names.replace(QLatin1Char(','), QLatin1Char(' '));
    return QLatin1Char(' ') + names + QLatin1Char(' ');
}

// Far more than the longest tag list written by hand; a larger "template" is some other file
// or a crafted one.
const platform::ReadLimit kTemplateLimit{4 * 1024 * 1024, QStringLiteral("a template")};

bool isComment(const QString& line) {
    const QString text = blanks::cutLeading(line);
    return text.isEmpty() || text.startsWith(QLatin1Char('\''));
}

}  // namespace

core::Status DrawingSession::loadTemplate(const QString& templatePath) {
    // Each missing part has its own number, in the order the template's parts come.
    auto fail = [](long number, const QString& message) { return core::Error{number, message}; };
    m_tags.clear();
    platform::LineReader reader;
    if (!reader.open(templatePath, kTemplateLimit)) {
        return fail(0, core::withReason(QStringLiteral("Unable to open template file '") +
                                            templatePath + QStringLiteral("'."),
                                        reader.errorString()));
    }

    QString line;
    bool found = false;
    while (!found && reader.readLine(line)) found = cutUpper(line) == QLatin1String("*INPUT");
    if (!found) return fail(-1, QStringLiteral("Template file requires '*INPUT'."));

    m_blocks = m_layers = m_space = QStringLiteral("*");
    m_password.clear();
    found = false;
    while (!found && reader.readLine(line)) {
        if (line == QLatin1String("*OUTPUT")) {
            found = true;
        } else if (line.left(9).toUpper() == QLatin1String("PASSWORD:")) {
            m_password = blanks::cut(line.mid(9));
        } else {
            const QString keyword = cutUpper(line);
            const QString value = blanks::cutLeading(keyword.mid(6));
            if (keyword.startsWith(QLatin1String("BLOCK:"))) m_blocks = value;
            if (keyword.startsWith(QLatin1String("LAYER:"))) m_layers = value;
            if (keyword.startsWith(QLatin1String("SPACE:"))) m_space = value;
        }
    }
    if (!found) return fail(-2, QStringLiteral("Template file requires '*OUTPUT'."));
    m_blocks = normalisedList(m_blocks);
    m_layers = normalisedList(m_layers);

    m_fields.fill(false);
    m_suppress = false;
    found = false;
    while (!found && reader.readLine(line)) {
        if (line == QLatin1String("*ATTRIBUTE_TAGS")) {
            found = true;
            continue;
        }
        const QString name = cutUpper(line);
        for (std::size_t f = 0; f < m_fields.size(); ++f) {
            if (name == QLatin1String(kFieldNames[f])) m_fields[f] = true;
        }
    }
    if (!found) return fail(-3, QStringLiteral("Template file requires '*ATTRIBUTE_TAGS'."));

    while (reader.readLine(line)) {
        if (isComment(line)) continue;
        const QString tag = cutUpper(line);
        if (tag == QLatin1String("*SUPPRESS")) {
            m_suppress = true;
            continue;
        }
        m_tags.append(tag);
        if (tag == QLatin1String("*")) break;  // nothing after the all-tags line counts
    }
    if (m_tags.isEmpty()) return fail(-4, QStringLiteral("Template file requires attribute tags."));
    return core::success();
}
