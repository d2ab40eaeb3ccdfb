// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QProcess>

namespace {

// Every program answers --version with the one version number of the build, and --help with
// its usage, on the terminal, without a window or a display.
TEST(Programs, VersionAndHelpComeFromTheBuild) {
    const char* programs[] = {QUILLON_MAIN_PROGRAM, QUILLON_EXTRACT_PROGRAM, QUILLON_SEARCH_PROGRAM,
                              QUILLON_PAGE_PROGRAM};
    for (const char* program : programs) {
        SCOPED_TRACE(program);
        for (const char* option : {"--version", "--help"}) {
            QProcess process;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
            environment.remove(QStringLiteral("DISPLAY"));
            process.setProcessEnvironment(environment);
            process.start(QString::fromUtf8(program), {QString::fromLatin1(option)});
            ASSERT_TRUE(process.waitForFinished(20000));
            EXPECT_EQ(process.exitCode(), 0) << option;
            const QString out = QString::fromUtf8(process.readAllStandardOutput());
            if (QLatin1String(option) == QLatin1String("--version")) {
                EXPECT_TRUE(out.trimmed().endsWith(QStringLiteral(" " QUILLON_VERSION)))
                    << out.toStdString();
            } else {
                EXPECT_TRUE(out.contains(QStringLiteral("--version"))) << out.toStdString();
            }
        }
    }
}

// A script tells a command line it got wrong (status 2) from a run that found nothing (status 1):
// an unknown option is a wrong command line in every program, as a missing argument is.
TEST(Programs, UnknownOptionIsABadCommandLine) {
    for (const char* program :
         {QUILLON_EXTRACT_PROGRAM, QUILLON_SEARCH_PROGRAM, QUILLON_PAGE_PROGRAM}) {
        QProcess process;
        process.start(QString::fromUtf8(program), {"--no-such-option", "a", "b"});
        ASSERT_TRUE(process.waitForFinished(20000)) << program;
        EXPECT_EQ(process.exitCode(), 2) << program;
        EXPECT_TRUE(process.readAllStandardError().contains("no-such-option")) << program;
    }
}

}  // namespace
