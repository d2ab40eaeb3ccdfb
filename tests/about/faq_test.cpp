// SPDX-License-Identifier: GPL-3.0-or-later
// The FAQ explains texts the program really uses: every text it quotes (a keyword, a setting,
// a file name, a message) occurs in the sources, and every keyword of the template and list
// file formats is explained. A renamed message or keyword fails here, not in a user's hands.

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include "engine/drawing_session.h"
#include "support/qt_printers.h"

namespace {

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

const QString& faq() {
    static const QString text = readText(QStringLiteral(QUILLON_SOURCE_DIR "/about/faq.fil"));
    return text;
}

// Every source file of the program, as one text; a second copy without the "&" of captions'
// access keys, so "Extract Attributes" is found in "5) &Extract Attributes".
const QString& sources() {
    static const QString text = [] {
        QString all;
        QDirIterator files(QStringLiteral(QUILLON_SOURCE_DIR), {"*.cpp", "*.h"}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) all += readText(files.next()) + QLatin1Char('\n');
        QString withoutAccessKeys = all;
        withoutAccessKeys.remove(QLatin1Char('&'));
        return all + withoutAccessKeys;
    }();
    return text;
}

// The texts the FAQ writes in double quotes, each on one line.
QStringList quotedTexts() {
    QStringList texts;
    static const QRegularExpression quoted(QStringLiteral("\"([^\"\\n]+)\""));
    for (auto it = quoted.globalMatch(faq()); it.hasNext();) texts << it.next().captured(1);
    return texts;
}

TEST(Faq, EveryQuotedTextOccursInTheSources) {
    ASSERT_FALSE(faq().isEmpty());
    ASSERT_FALSE(sources().isEmpty());
    EXPECT_GT(quotedTexts().size(), 100);
    // No line of an odd number of quotes: it would pair the wrong texts.
    for (const QString& line : faq().split(QLatin1Char('\n'))) {
        EXPECT_EQ(line.count(QLatin1Char('"')) % 2, 0) << line.toStdString();
    }
    for (const QString& text : quotedTexts()) {
        // "..." stands for a part that changes: each fixed part must be there.
        for (const QString& part : text.split(QStringLiteral("..."), Qt::SkipEmptyParts)) {
            EXPECT_TRUE(sources().contains(part)) << "\"" << text.toStdString() << "\"";
        }
    }
}

// The keywords of the template and drawing list formats, the files of the program folder and
// the settings sections: a user looking one up finds it quoted.
TEST(Faq, ExplainsEveryKeywordFileAndSettingsSection) {
    QStringList names =
        QStringLiteral(
            "*INPUT|*OUTPUT|*ATTRIBUTE_TAGS|*SUPPRESS|PASSWORD:|BLOCK:|LAYER:|SPACE:|"
            "MODEL|PAPER|*|NODWGNAME|DWGNAME|FULLDWGNAME|DWGNAMETS|FULLDWGNAMETS|"
            "EXTRACT|TO FILE|TO CLIPBOARD|TO WORD|TO EXCEL|TO ACCESS|APPEND|TABLE|"
            "TRANSPOSE|ADJUSTCOLS|TAGS|END|err.log|extract.txt|attr.htm|faq.fil|"
            "Options|FSpec")
            .split(QLatin1Char('|'));
    for (const char* field : DrawingSession::kFieldNames) names << QLatin1String(field);
    const QStringList quoted = quotedTexts();
    for (const QString& name : names) {
        EXPECT_TRUE(quoted.contains(name)) << name.toStdString();
    }
}

TEST(Faq, LiesBesideTheProgramsAsInTheSources) {
    EXPECT_EQ(readText(QStringLiteral(QUILLON_PROGRAM_DIR "/faq.fil")), faq());
}

}  // namespace
