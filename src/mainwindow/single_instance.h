// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running copy per user: the first start listens on a local socket; a later start finds it
// there and asks it to come to the front.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when no other copy runs: this one now answers later starts.
    bool claim();
    // Asks the running copy to raise its window; false when it did not answer.
    bool askRunningToRaise() const;

    static QString nameForCurrentUser();

signals:
    void raiseRequested();

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
};
