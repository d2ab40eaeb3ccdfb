// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/qt_shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "platform/gui/default_application.h"
#include "platform/gui/desktop_entry.h"
#include "platform/line_reader.h"

namespace platform {

namespace {

QString absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
// The desktop's default program for plain text as a command line; empty when it names none.
QStringList defaultTextEditorCommand(const QString& file) {
    const QString entryPath = defaultApplicationEntry(QStringLiteral("text/plain"),
                                                      AssociationFolders::fromEnvironment());
    QFile entry(entryPath);
    if (entryPath.isEmpty() || !entry.open(QIODevice::ReadOnly)) return {};
    return desktopExecCommand(desktopEntryExec(decodeText(entry.readAll())), file);
}
#endif

}  // namespace

bool QtShell::openInTextEditor(const QString& path) {
    const QString file = absolute(path);
#if defined(Q_OS_WIN)
    return QProcess::startDetached(QStringLiteral("notepad.exe"), {QDir::toNativeSeparators(file)});
#elif defined(Q_OS_MACOS)
    return QProcess::startDetached(QStringLiteral("open"), {QStringLiteral("-t"), file});
#else
    const QStringList command = defaultTextEditorCommand(file);
    if (!command.isEmpty() && QProcess::startDetached(command.first(), command.mid(1))) return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
#endif
}

bool QtShell::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolute(path)));
}

bool QtShell::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

}  // namespace platform
