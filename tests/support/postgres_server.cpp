// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/postgres_server.h"

#include <pwd.h>
#include <unistd.h>

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

#include "support/child_program.h"

namespace {

// Where the server programs are: on the PATH (most systems), or in Debian's versioned folder
// (/usr/lib/postgresql/15/bin), the newest version first.
QString serverBinFolder() {
    const auto complete = [](const QString& bin) {
        for (const char* program : {"initdb", "pg_ctl", "createdb"}) {
            if (!QFileInfo(bin + QLatin1Char('/') + QLatin1String(program)).isExecutable())
                return false;
        }
        return true;
    };
    // A link on the PATH leads to the server's own folder, where the others are.
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    if (!onPath.isEmpty() && complete(QFileInfo(onPath).canonicalPath()))
        return QFileInfo(onPath).canonicalPath();
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(found.begin(), found.end(),
              [&](const QString& a, const QString& b) { return numeric.compare(a, b) > 0; });
    for (const QString& version : found) {
        const QString bin = versions.filePath(version + QStringLiteral("/bin"));
        if (complete(bin)) return bin;
    }
    return {};
}

}  // namespace

PostgresServer::PostgresServer() : m_dir(QStringLiteral("/tmp/quillon-pg-XXXXXX")) {
    m_bin = serverBinFolder();
    if (m_bin.isEmpty()) {
        m_missing = true;
        m_problem = QStringLiteral(
            "the PostgreSQL server programs (initdb, pg_ctl, createdb) are not "
            "installed: apt-get install postgresql");
        return;
    }
    if (!m_dir.isValid()) {
        m_problem = QStringLiteral("no temporary folder for the server");
        return;
    }
    if (::geteuid() == 0) {
        const passwd* user = ::getpwnam("postgres");
        if (!user || QStandardPaths::findExecutable(QStringLiteral("runuser")).isEmpty()) {
            m_missing = true;
            m_problem = QStringLiteral(
                "running as root, and there is no \"postgres\" user (or "
                "no runuser) to run the server as");
            return;
        }
        if (::chown(QFile::encodeName(m_dir.path()).constData(), user->pw_uid, user->pw_gid) != 0) {
            m_problem = QStringLiteral("the temporary folder cannot be handed to postgres");
            return;
        }
        m_runAs = QStringLiteral("postgres");
    }
    const QString data = m_dir.filePath(QStringLiteral("data"));
    // No sync and no fsync: the server and its data live as long as the test.
    if (!run(m_bin + QStringLiteral("/initdb"),
             {QStringLiteral("-D"), data, QStringLiteral("-A"), QStringLiteral("trust"),
              QStringLiteral("-U"), QStringLiteral("quillon"), QStringLiteral("-E"),
              QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("--no-sync")}))
        return;
    const QString options =
        QStringLiteral(
            "-c listen_addresses='' -c unix_socket_directories='%1' -c fsync=off "
            "-c full_page_writes=off -c max_connections=30")
            .arg(m_dir.path());
    m_running = run(m_bin + QStringLiteral("/pg_ctl"),
                    {QStringLiteral("-D"), data, QStringLiteral("-l"),
                     m_dir.filePath(QStringLiteral("server.log")), QStringLiteral("-o"), options,
                     QStringLiteral("-w"), QStringLiteral("start")});
}

PostgresServer::~PostgresServer() {
    if (m_running) {
        run(m_bin + QStringLiteral("/pg_ctl"),
            {QStringLiteral("-D"), m_dir.filePath(QStringLiteral("data")), QStringLiteral("-m"),
             QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
    }
}

bool PostgresServer::run(const QString& program, const QStringList& arguments, int timeoutMs) {
    const ChildOutcome outcome = m_runAs.isEmpty()
                                     ? runChildProgram(program, arguments, m_dir.path(), timeoutMs)
                                     : runChildProgram(QStringLiteral("runuser"),
                                                       QStringList{QStringLiteral("-u"), m_runAs,
                                                                   QStringLiteral("--"), program} +
                                                           arguments,
                                                       m_dir.path(), timeoutMs);
    if (outcome.finished && outcome.exitCode == 0) return true;
    m_problem =
        QFileInfo(program).fileName() +
        (outcome.started ? QStringLiteral(" failed: ") : QStringLiteral(" did not start: ")) +
        QString::fromLocal8Bit(outcome.output).trimmed();
    return false;
}

bool PostgresServer::createDatabase(const QString& name) {
    return m_running && run(m_bin + QStringLiteral("/createdb"),
                            {QStringLiteral("-h"), m_dir.path(), QStringLiteral("-U"),
                             QStringLiteral("quillon"), name});
}

QString PostgresServer::conninfo(const QString& database) const {
    return QStringLiteral("host=%1 user=quillon dbname=%2").arg(m_dir.path(), database);
}
