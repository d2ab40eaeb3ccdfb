// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs a program to its end with plain fork and exec, its standard output and error together.
// The test support starts the throw-away database server this way rather than with QProcess:
// Qt starts a child with clone(CLONE_VM | CLONE_VFORK), which ThreadSanitizer cannot follow,
// and the server register's tests are among those run under it.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct ChildOutcome {
    bool started = false;
    bool finished = false;  // false: it ran past the time allowed and was killed
    int exitCode = -1;      // -1 when it did not exit normally
    QByteArray output;
};

ChildOutcome runChildProgram(const QString& program, const QStringList& arguments,
                             const QString& workingFolder, int timeoutMs);
