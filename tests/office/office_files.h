// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Office files as other programs see them: a database read with the sqlite3 program, never with
// the code under test, and every file of a folder with its bytes, to show that nothing changed.

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <map>

// Runs `statements` on the database `path` with the sqlite3 program: its output and errors,
// trimmed.
inline QString sqliteOutput(const QString& path, const QString& statements) {
    QProcess cli;
    cli.start(QStringLiteral("sqlite3"), {path, statements});
    if (!cli.waitForFinished(10000)) return QStringLiteral("sqlite3 did not answer");
    return QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError()).trimmed();
}

// Every file under `folder`, hidden ones too, with its bytes.
inline std::map<QString, QByteArray> folderSnapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        files[file.fileName()] =
            file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    return files;
}
