// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A throw-away PostgreSQL server for tests: initdb and pg_ctl into a temporary folder, listening
// on a Unix socket in that folder only (no TCP port, so test runs never meet), stopped and
// removed when the object goes, also when a test fails.
//
// The server refuses to run as root. Tests run as root (containers, CI) start it as the
// "postgres" user Debian's package makes, through runuser; the folder is handed to that user
// and the tests connect through the socket as the server's own superuser ("quillon").

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class PostgresServer {
public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    bool running() const { return m_running; }
    // Why the server could not be started (for a skip message, or a failure).
    const QString& problem() const { return m_problem; }
    // True when the server programs are not installed: tests skip rather than fail.
    bool missing() const { return m_missing; }

    // Makes an empty database; false (with problem() set) when it cannot.
    bool createDatabase(const QString& name);
    // How libpq reaches `database` on this server.
    QString conninfo(const QString& database) const;
    // The folder of the socket (the "host" of a conninfo).
    QString socketFolder() const { return m_dir.path(); }

private:
    bool run(const QString& program, const QStringList& arguments, int timeoutMs = 60000);

    QTemporaryDir m_dir;
    QString m_bin;    // the folder of initdb, pg_ctl, createdb
    QString m_runAs;  // empty, or the user to run the server as
    bool m_running = false;
    bool m_missing = false;
    QString m_problem;
};
