// SPDX-License-Identifier: GPL-3.0-or-later
#include "registerwindow/register_choice.h"

#include <QDir>
#include <QStandardPaths>

namespace {

const QString kSection = QStringLiteral("Register");

QString folderKey(qsizetype number) {
    return QStringLiteral("Folder%1").arg(number);
}

}  // namespace

QString defaultRegisterFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("register.sqlite"));
}

RegisterChoice loadRegisterChoice(const platform::Settings& settings) {
    RegisterChoice choice;
    choice.onServer = settings.get(kSection, QStringLiteral("Kind")) == QLatin1String("Server");
    choice.file = settings.get(kSection, QStringLiteral("File"), defaultRegisterFile());
    choice.server = settings.get(kSection, QStringLiteral("Server"));
    // Folder1, Folder2 ... up to the first one absent: a path may hold any separator.
    for (qsizetype number = 1;; ++number) {
        const QString folder = settings.get(kSection, folderKey(number));
        if (folder.isEmpty()) break;
        choice.folders << folder;
    }
    return choice;
}

void storeRegisterChoice(platform::Settings& settings, const RegisterChoice& choice) {
    settings.remove(kSection);
    settings.set(kSection, QStringLiteral("Kind"),
                 choice.onServer ? QStringLiteral("Server") : QStringLiteral("File"));
    settings.set(kSection, QStringLiteral("File"), choice.file);
    settings.set(kSection, QStringLiteral("Server"), choice.server);
    for (qsizetype i = 0; i < choice.folders.size(); ++i)
        settings.set(kSection, folderKey(i + 1), choice.folders[i]);
}
