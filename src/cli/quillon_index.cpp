// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-index: the drawing register brought up to date. Walks the folders, reads the DWG and
// DXF drawings that are new or changed since the last run on every core, and stores every
// block reference with its attributes in a SQLite database, or with --server in a PostgreSQL
// database a team shares; with --status, lists what a run would store again and changes nothing.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTextStream>
#include <QThread>

#include "cli/command_line.h"
#include "platform/program_folder.h"
#include "register/index_run.h"
#include "register/register_database.h"

namespace {

// Exit statuses: everything read (or, with --status, listed); some drawings could not be read
// or the register could not be written; bad arguments or a register that cannot be opened.
constexpr int kSomeUnreadable = 1;

// The register every run finds without being told: one per user, in the data folder the
// programs share, whatever folder the run starts from.
QString defaultDatabase() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("register.sqlite"));
}

// At most one line a second: an archive of a hundred thousand drawings must not print as many.
class Progress {
public:
    Progress() { m_clock.start(); }
    void operator()(qsizetype done, qsizetype total) {
        const qint64 elapsed = m_clock.elapsed();
        if (done < total && elapsed - m_last < 1000) return;
        m_last = elapsed;
        const double rate =
            elapsed > 0 ? static_cast<double>(done) * 1000.0 / static_cast<double>(elapsed) : 0.0;
        QTextStream(stderr) << done << " of " << total << " drawings, "
                            << QString::number(rate, 'f', 1) << " per second" << Qt::endl;
    }

private:
    QElapsedTimer m_clock;
    qint64 m_last = 0;
};

int printStatus(const reg::RegisterAddress& where, const QStringList& folders) {
    const auto lines = reg::registerStatus(where.database, folders, where.server);
    if (!lines) {
        QTextStream(stderr) << lines.error().description << Qt::endl;
        return kBadArgumentsStatus;
    }
    QTextStream out(stdout);
    for (const reg::StatusLine& line : lines.value()) {
        switch (line.state) {
            case reg::StatusLine::State::New:
                out << "new";
                break;
            case reg::StatusLine::State::Changed:
                out << "changed";
                break;
            case reg::StatusLine::State::Missing:
                out << "missing";
                break;
        }
        out << '\t' << line.path << '\n';
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    platform::nameTheProgram();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Keeps a register of the block attributes of every DWG and DXF drawing\n"
                       "under the FOLDERs: new and changed drawings are read on every core and\n"
                       "stored in a SQLite database (or, with --server, in a PostgreSQL\n"
                       "database); unchanged ones are not opened.\n"
                       "Default register: %1\n"
                       "Exit status: 0 every drawing read, 1 some drawings could not be read,\n"
                       "2 bad arguments or a register that cannot be opened.")
            .arg(defaultDatabase()));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption databaseOption(QStringLiteral("database"),
                                            QStringLiteral("The register's database file."),
                                            QStringLiteral("PATH"));
    const QCommandLineOption jobsOption(
        QStringLiteral("jobs"),
        QStringLiteral("Drawings read at once (default: %1, the cores of this machine).")
            .arg(QThread::idealThreadCount()),
        QStringLiteral("N"));
    const QCommandLineOption forgetOption(
        QStringLiteral("forget-missing"),
        QStringLiteral("Delete the drawings gone from the folders instead of marking them."));
    const QCommandLineOption statusOption(
        QStringLiteral("status"),
        QStringLiteral("List the drawings new, changed or gone since they were indexed."));
    const QCommandLineOption serverOption(
        QStringLiteral("server"),
        QStringLiteral("The register in a PostgreSQL database instead of a file, as libpq names it"
                       " (\"host=db.example.com dbname=drawings\" or postgresql://...)."),
        QStringLiteral("CONNINFO"));
    parser.addOptions({databaseOption, serverOption, jobsOption, forgetOption, statusOption});
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("Folders to walk."),
                                 QStringLiteral("FOLDER..."));
    parseCommandLine(parser, app);

    QTextStream err(stderr);
    const QStringList folders = parser.positionalArguments();
    if (folders.isEmpty()) parser.showHelp(kBadArgumentsStatus);
    for (const QString& folder : folders) {
        if (const QString unreadable = unreadableFolder(folder); !unreadable.isEmpty()) {
            err << unreadable << Qt::endl;
            return kBadArgumentsStatus;
        }
    }
    int jobs = 0;
    if (parser.isSet(jobsOption)) {
        bool number = false;
        jobs = parser.value(jobsOption).toInt(&number);
        if (!number || jobs < 1) {
            err << "--jobs needs a whole number of at least 1, not \"" << parser.value(jobsOption)
                << "\"." << Qt::endl;
            return kBadArgumentsStatus;
        }
    }
    reg::RegisterAddress where;
    if (parser.isSet(serverOption)) {
        if (parser.isSet(databaseOption)) {
            err << "Give --database or --server, not both." << Qt::endl;
            return kBadArgumentsStatus;
        }
        if (!reg::serverRegistersAvailable()) {
            err << "--server is not available: this Quillon was built without PostgreSQL."
                << Qt::endl;
            return kBadArgumentsStatus;
        }
        where.server = parser.value(serverOption);
        if (where.server.trimmed().isEmpty()) {
            err << "--server needs a connection: \"host=... dbname=...\"." << Qt::endl;
            return kBadArgumentsStatus;
        }
    } else {
        where.database =
            parser.isSet(databaseOption) ? parser.value(databaseOption) : defaultDatabase();
    }
    if (parser.isSet(statusOption)) return printStatus(where, folders);
    if (where.server.isEmpty() && !parser.isSet(databaseOption))
        QDir().mkpath(QFileInfo(where.database).absolutePath());

    reg::IndexOptions options;
    options.database = where.database;
    options.server = where.server;
    options.folders = folders;
    options.jobs = jobs;
    options.forgetMissing = parser.isSet(forgetOption);
    Progress progress;
    options.progress = [&progress](qsizetype done, qsizetype total) { progress(done, total); };
    QElapsedTimer clock;
    clock.start();
    const reg::IndexSummary summary = reg::runIndex(options);
    for (const QString& failure : summary.failures) err << "Not read: " << failure << '\n';
    if (!summary.opened) {
        err << summary.error << Qt::endl;
        return kBadArgumentsStatus;
    }
    const QString shownWhere =
        where.server.isEmpty() ? where.database : reg::printableConninfo(where.server);
    err << "Indexed " << summary.found << " drawing(s) into " << shownWhere << " in "
        << QString::number(static_cast<double>(clock.elapsed()) / 1000.0, 'f', 1)
        << " s: " << summary.read << " read, " << summary.unchanged << " unchanged, "
        << summary.touched << " touched but unchanged, " << summary.moved << " moved, "
        << summary.failures.size() << " not readable, " << summary.missing << " marked missing, "
        << summary.forgotten << " forgotten";
    if (summary.vanished > 0) err << ", " << summary.vanished << " gone while listed";
    err << '.' << Qt::endl;
    if (!summary.error.isEmpty()) {
        err << "The register could not be written: " << summary.error << Qt::endl;
        return kSomeUnreadable;
    }
    return summary.failures.isEmpty() ? 0 : kSomeUnreadable;
}
