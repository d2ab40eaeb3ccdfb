// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/send_services.h"

namespace output {

void showErrorBox(platform::Dialogs& dialogs, const office::Error& error) {
    dialogs.messageBox(QStringLiteral("Error"),
                       QString::number(error.number) + " : " + error.description,
                       platform::MessageIcon::Exclamation);
}

void reportLinkFailure(SendServices& services, const office::Error& error, const QString& program,
                       bool fromList) {
    showErrorBox(services.dialogs, error);
    services.ui.beep();
    if (!fromList) {
        services.dialogs.messageBox(
            QStringLiteral("Quillon"),
            QStringLiteral("Error! Unable to establish link to ") + program + ".",
            platform::MessageIcon::Exclamation);
    }
}

QString sentTo(const QString& program, const QString& file, const QString& partKind,
               const QString& part) {
    QString status = QStringLiteral("Data sent to ") + (file.isEmpty() ? program : file);
    if (!part.isEmpty()) status += QStringLiteral(", ") + partKind + QLatin1Char(' ') + part;
    return status + QLatin1Char('.');
}

QString notSent(const QString& program, QString reason) {
    if (!reason.endsWith(QLatin1Char('.'))) reason += QLatin1Char('.');
    return QStringLiteral("Data not sent to ") + program + QStringLiteral(": ") + reason;
}

}  // namespace output
