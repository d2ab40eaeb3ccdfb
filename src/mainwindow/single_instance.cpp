// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
constexpr int kAnswerMs = 1000;
const QByteArray kRaise = QByteArrayLiteral("raise\n");
}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::nameForCurrentUser() {
    // The home folder tells users apart on every platform without a system call of our own.
    const QString home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    return QStringLiteral("quillon-") + QString::number(qHash(home), 16);
}

bool SingleInstance::claim() {
    if (askRunningToRaise()) return false;
    // Nobody answered: a socket left behind by a copy that crashed is stale.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) return true;  // run anyway rather than refuse the user
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains(kRaise.trimmed())) emit raiseRequested();
                socket->disconnectFromServer();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    return true;
}

bool SingleInstance::askRunningToRaise() const {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kAnswerMs)) return false;
    socket.write(kRaise);
    socket.waitForBytesWritten(kAnswerMs);
    socket.disconnectFromServer();
    return true;
}
