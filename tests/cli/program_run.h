// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs one of the programs as a script runs it, and keeps what a script sees of it: the exit
// status, standard output and standard error.

#include <QDir>
#include <QProcess>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define QUILLON_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef QUILLON_ADDRESS_SANITIZER
#define QUILLON_ADDRESS_SANITIZER 0
#endif

struct ProgramRun {
    int status = -1;  // -1: did not finish, -2: crashed
    QString out;      // empty when standard output goes to a file
    QString errors;
};

struct RunSettings {
    QString folder;             // the working folder; the temporary folder when empty
    QString outputFile;         // standard output goes there when set
    QString home;               // HOME and the XDG folders lie under it when set
    bool bareTerminal = false;  // no display and no Qt platform plugin named
    bool limitMemory = false;   // one gigabyte of address space (not under AddressSanitizer)
};

inline ProgramRun runProgram(const QString& program, const QStringList& arguments,
                             const RunSettings& settings = {}) {
    QProcess process;
    process.setWorkingDirectory(settings.folder.isEmpty() ? QDir::tempPath() : settings.folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!settings.home.isEmpty()) {
        environment.insert("HOME", settings.home);
        environment.insert("XDG_DATA_HOME", settings.home + "/data");
        environment.insert("XDG_CONFIG_HOME", settings.home + "/config");
    }
    if (settings.bareTerminal) {
        environment.remove("QT_QPA_PLATFORM");
        environment.remove("DISPLAY");
    }
    process.setProcessEnvironment(environment);
    if (!settings.outputFile.isEmpty()) process.setStandardOutputFile(settings.outputFile);
#if defined(Q_OS_UNIX) && !QUILLON_ADDRESS_SANITIZER
    if (settings.limitMemory) {
        process.setChildProcessModifier([] {
            const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
            setrlimit(RLIMIT_AS, &limit);
        });
    }
#endif
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}
