// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <cstdlib>

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
