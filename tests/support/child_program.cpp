// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/child_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <cerrno>
#include <vector>

namespace {

// Reads what is there without waiting; false once the pipe is closed.
bool drain(int fd, QByteArray& into) {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        return got < 0 && errno == EAGAIN;
    }
}

}  // namespace

ChildOutcome runChildProgram(const QString& program, const QStringList& arguments,
                             const QString& workingFolder, int timeoutMs) {
    ChildOutcome outcome;
    // Everything the child needs is made before the fork: after it, only exec and _exit.
    std::vector<QByteArray> encoded{QFile::encodeName(program)};
    for (const QString& argument : arguments) encoded.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& each : encoded) argv.push_back(each.data());
    argv.push_back(nullptr);
    const QByteArray folder = QFile::encodeName(workingFolder);

    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return outcome;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        return outcome;
    }
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::dup2(pipeEnds[1], STDERR_FILENO);
        if (!folder.isEmpty() && ::chdir(folder.constData()) != 0) ::_exit(127);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    outcome.started = true;
    ::close(pipeEnds[1]);
    ::fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);

    QElapsedTimer clock;
    clock.start();
    int status = 0;
    bool open = true;
    for (;;) {
        if (open) {
            pollfd wait{pipeEnds[0], POLLIN, 0};
            ::poll(&wait, 1, 50);
            open = drain(pipeEnds[0], outcome.output);
        } else {
            ::usleep(20000);
        }
        // A child may leave a grandchild holding the pipe (a server it started): its exit
        // ends the wait, not the pipe's closing.
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) {
            outcome.finished = true;
            break;
        }
        if (clock.elapsed() > timeoutMs) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            break;
        }
    }
    if (open) drain(pipeEnds[0], outcome.output);
    ::close(pipeEnds[0]);
    if (outcome.finished && WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
    return outcome;
}
