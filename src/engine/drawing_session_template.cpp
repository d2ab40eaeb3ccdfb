#include "engine/blanks.h"
#include "engine/cautocad.h"
#include "platform/line_reader.h"

// clang-format off
const std::array<const char*, cAutoCAD::kFieldCount> cAutoCAD::kFieldNames = {
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

bool isComment(const QString& line) {
    const QString text = blanks::cutLeading(line);
    return text.isEmpty() || text.startsWith(QLatin1Char('\''));
}

}  // namespace

qint16 cAutoCAD::PrepTemplate(const QString& strTemplateFile, QString* strErr) {
    auto fail = [strErr](qint16 result, const QString& message) {
        if (strErr) *strErr = message;
        return result;
    };
    mastrTags.clear();
    platform::LineReader reader;
    if (!reader.open(strTemplateFile)) {
        return fail(0, QStringLiteral("Unable to open template file '") + strTemplateFile +
                           QStringLiteral("'."));
    }

    QString line;
    bool found = false;
    while (!found && reader.readLine(line)) found = cutUpper(line) == QLatin1String("*INPUT");
    if (!found) return fail(-1, QStringLiteral("Template file requires '*INPUT'."));

    mstrBlocks = mstrLayers = mstrSpace = QStringLiteral("*");
    mstrPassword.clear();
    found = false;
    while (!found && reader.readLine(line)) {
        if (line == QLatin1String("*OUTPUT")) {
            found = true;
        } else if (line.left(9).toUpper() == QLatin1String("PASSWORD:")) {
            mstrPassword = blanks::cut(line.mid(9));
        } else {
            const QString keyword = cutUpper(line);
            const QString value = blanks::cutLeading(keyword.mid(6));
            if (keyword.startsWith(QLatin1String("BLOCK:"))) mstrBlocks = value;
            if (keyword.startsWith(QLatin1String("LAYER:"))) mstrLayers = value;
            if (keyword.startsWith(QLatin1String("SPACE:"))) mstrSpace = value;
        }
    }
    if (!found) return fail(-2, QStringLiteral("Template file requires '*OUTPUT'."));
    mstrBlocks = normalisedList(mstrBlocks);
    mstrLayers = normalisedList(mstrLayers);

    mblnFields.fill(false);
    mblnSuppress = false;
    found = false;
    while (!found && reader.readLine(line)) {
        if (line == QLatin1String("*ATTRIBUTE_TAGS")) {
            found = true;
            continue;
        }
        const QString name = cutUpper(line);
        for (int f = 0; f < kFieldCount; ++f) {
            if (name == QLatin1String(kFieldNames[f])) mblnFields[f] = true;
        }
    }
    if (!found) return fail(-3, QStringLiteral("Template file requires '*ATTRIBUTE_TAGS'."));

    while (reader.readLine(line)) {
        if (isComment(line)) continue;
        const QString tag = cutUpper(line);
        if (tag == QLatin1String("*SUPPRESS")) {
            mblnSuppress = true;
            continue;
        }
        mastrTags.append(tag);
        if (tag == QLatin1String("*")) break;  // nothing after the all-tags line counts
    }
    if (mastrTags.isEmpty())
        return fail(-4, QStringLiteral("Template file requires attribute tags."));
    return 1;
}
