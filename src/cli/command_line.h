// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <optional>

// The exit status of a command line the program cannot run: an unknown option, a missing or
// surplus argument, a bad option value. Status 1 is "nothing found" or "nothing written".
constexpr int kBadArgumentsStatus = 2;

// Why the drawings of `folder` cannot be listed, or nothing when they can: a folder that is not
// there must not read as a folder without drawings.
inline QString unreadableFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir()) return QStringLiteral("Folder ") + folder + QStringLiteral(" not found.");
    if (!info.isReadable() || !info.isExecutable())
        return QStringLiteral("Folder ") + folder + QStringLiteral(" cannot be read.");
    return {};
}

// --jobs N of the programs that read many drawings: how many are read at once, 0 for one per
// core. The output is the same whatever the number.
inline QCommandLineOption jobsOption(const QString& output) {
    return QCommandLineOption(QStringLiteral("jobs"),
                              QStringLiteral("Read <n> drawings at once (0: one per core; default "
                                             "1). The ") +
                                  output + QStringLiteral(" come out in the same order."),
                              QStringLiteral("n"));
}

// The number of drawings --jobs asks to read at once; nothing for a value that is not 0 to 256.
inline std::optional<int> jobsFrom(const QCommandLineParser& parser,
                                   const QCommandLineOption& option) {
    if (!parser.isSet(option)) return 1;
    bool ok = false;
    const int jobs = parser.value(option).toInt(&ok);
    if (!ok || jobs < 0 || jobs > 256) return std::nullopt;
    return jobs == 0 ? std::max(1, QThread::idealThreadCount()) : jobs;
}

// Parses the arguments as QCommandLineParser::process does (answering --help and --version),
// except that an unknown option ends the program with kBadArgumentsStatus, as every other
// bad argument does, where process would end it with 1.
inline void parseCommandLine(QCommandLineParser& parser, const QCoreApplication& app) {
    if (!parser.parse(QCoreApplication::arguments())) {
        QTextStream(stderr) << QFileInfo(QCoreApplication::applicationFilePath()).fileName() << ": "
                            << parser.errorText() << "\nTry --help for the options." << Qt::endl;
        std::exit(kBadArgumentsStatus);
    }
    parser.process(app);
}
