// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// quillon-search over the drawings of a folder and over the register of that folder, with
// the same options: the same lines, the same drawings that cannot be opened, the same totals.

#include <QDateTime>
#include <QRegularExpression>

#include "cli/program_run.h"
#include "register_fixture.h"

struct SearchCase {
    const char* name;
    QStringList options;     // everything but the folder specification
    const char* folderSpec;  // under the test's archive folder
};

// The cases compared: each option of the search and each folder of the archive, every one of
// them finding something (the first case checks that).
inline const std::vector<SearchCase>& searchCases() {
    static const std::vector<SearchCase> cases{
        {"value, ignoring case", {"VALORO"}, "data/autocad/*"},
        {"value, letter case", {"--case", "P-"}, "examples/*.dxf"},
        {"value, letter case, three letters or more", {"--case", "Pump"}, "examples/*"},
        {"value, letter case, outside ASCII", {"--case", "MÜLLER"}, "examples/*"},
        {"whole value", {"--whole", "a"}, "examples/*"},
        {"whole value, letter case", {"--case", "--whole", "A"}, "examples/*.DXF"},
        {"whole value, a long one", {"--whole", "feed PUMP 1"}, "examples/*"},
        {"tag", {"--tag", "desc"}, "examples/*"},
        {"tag, whole, letter case", {"--tag", "--whole", "--case", "TEST"}, "data/autocad/*"},
        {"model space", {"--space", "Model", "valve"}, "examples/*.dxf"},
        {"paper space", {"--space", "Paper", "pid"}, "examples/*"},
        {"blocks", {"--blocks", "title,pump", "p"}, "examples/*"},
        {"a layer named with a blank", {"--layers", "Tavolo 3", "valoro"}, "data/autocad/*"},
        {"one layer", {"--layers", "border", "1"}, "examples/*"},
        {"two layers", {"--layers", "border,Equipment", "1"}, "examples/*"},
        {"full paths, other delimiter", {"--full-path", "--delimiter", ";", "pump"}, "examples/*"},
        {"non-ASCII text", {"müller"}, "examples/*"},
        {"a letter with a fold from outside ASCII", {"smith"}, "examples/*"},
        {"a wildcard", {"p"}, "examples/cool*"},
        {"hidden drawings left out", {"p"}, "examples/*"},
        {"no hits", {"no such value anywhere"}, "examples/*"},
        // LIKE's wildcards are letters to the search: "DN_00" is not in "DN100".
        {"no hits for a text with LIKE's wildcards", {"DN_00%"}, "examples/*"},
        {"no hits for a text with quotes", {"'P-\"301"}, "examples/*"},
    };
    return cases;
}

struct SearchOutput {
    int status = -1;
    QStringList lines;
    QStringList indexed;  // the register's last column
    QString errors;       // the totals line without its seconds, the drawings not opened
};

inline SearchOutput searchOutput(const ProgramRun& run, bool fromRegister,
                                 const QString& delimiter) {
    SearchOutput output;
    output.status = run.status;
    for (QString line : run.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        if (fromRegister) {
            const qsizetype cut = line.lastIndexOf(delimiter);
            output.indexed << line.mid(cut + 1);
            line.truncate(cut);
        }
        output.lines << line;
    }
    static const QRegularExpression seconds(QStringLiteral(" in [0-9.]+ seconds"));
    output.errors = QString(run.errors).replace(seconds, QString());
    return output;
}

// Runs every case over the folder and over `registerArgument` (a file or a conninfo) indexed
// from it at or after `indexedFrom`.
inline void expectRegisterSearchesAsFolder(const QString& folder, const QString& registerArgument,
                                           const QDateTime& indexedFrom) {
    for (const SearchCase& search : searchCases()) {
        SCOPED_TRACE(search.name);
        const QString pattern = folder + QLatin1Char('/') + QLatin1String(search.folderSpec);
        const qsizetype at = search.options.indexOf(QStringLiteral("--delimiter"));
        const QString delimiter = at >= 0 ? search.options[at + 1] : QStringLiteral(",");
        const SearchOutput direct =
            searchOutput(runProgram(QUILLON_SEARCH_PROGRAM, search.options + QStringList{pattern}),
                         false, delimiter);
        const SearchOutput answered = searchOutput(
            runProgram(QUILLON_SEARCH_PROGRAM, QStringList{"--register", registerArgument} +
                                                   search.options + QStringList{pattern}),
            true, delimiter);
        EXPECT_EQ(answered.status, direct.status) << answered.errors.toStdString();
        EXPECT_EQ(answered.lines, direct.lines);
        EXPECT_EQ(answered.errors, direct.errors);
        if (!QString(search.name).startsWith("no hits")) {
            EXPECT_GT(direct.lines.size(), 1);
        }
        if (!answered.lines.isEmpty()) {
            EXPECT_EQ(answered.indexed.value(0), "Indexed");
            for (const QString& time : answered.indexed.mid(1)) {
                const QDateTime when = QDateTime::fromString(time, Qt::ISODate);
                EXPECT_TRUE(when.isValid() && when >= indexedFrom.addSecs(-1) &&
                            when <= QDateTime::currentDateTimeUtc())
                    << time.toStdString();
            }
        }
    }
}
