// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gui/desktop_entry.h"

#include "platform/line_reader.h"

namespace platform {

namespace {

// Splits an Exec value into arguments: blanks separate them, double quotes group them, and a
// backslash inside quotes escapes the next character.
QStringList splitExec(const QString& exec) {
    QStringList arguments;
    QString current;
    bool inQuotes = false;
    bool hasArgument = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (inQuotes) {
            if (c == u'\\' && i + 1 < exec.size()) {
                current += exec[++i];
            } else if (c == u'"') {
                inQuotes = false;
            } else {
                current += c;
            }
        } else if (c == u'"') {
            inQuotes = true;
            hasArgument = true;
        } else if (c == u' ' || c == u'\t') {
            if (hasArgument) arguments.append(current);
            current.clear();
            hasArgument = false;
        } else {
            current += c;
            hasArgument = true;
        }
    }
    if (hasArgument) arguments.append(current);
    return arguments;
}

}  // namespace

QStringList desktopExecCommand(const QString& exec, const QString& file) {
    QStringList command;
    bool fileGiven = false;
    for (const QString& argument : splitExec(exec)) {
        if (argument == u"%f" || argument == u"%F" || argument == u"%u" || argument == u"%U") {
            command.append(file);
            fileGiven = true;
            continue;
        }
        QString expanded;
        for (qsizetype i = 0; i < argument.size(); ++i) {
            if (argument[i] != u'%' || i + 1 >= argument.size()) {
                expanded += argument[i];
                continue;
            }
            const QChar code = argument[++i];
            if (code == u'%') {
                expanded += u'%';
            } else if (code == u'f' || code == u'F' || code == u'u' || code == u'U') {
                expanded += file;
                fileGiven = true;
            }  // %i %c %k and the deprecated codes stand for nothing we have
        }
        if (!expanded.isEmpty()) command.append(expanded);
    }
    if (command.isEmpty()) return {};
    if (!fileGiven) command.append(file);
    return command;
}

QString desktopEntryExec(const QString& desktopFileText) {
    bool inEntry = false;
    QString exec;
    bool terminal = false;
    for (const QString& rawLine : splitLines(desktopFileText)) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == u"[Desktop Entry]";
            continue;
        }
        if (!inEntry) continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == u"Exec") exec = value;
        if (key == u"Terminal") terminal = value == u"true";
    }
    return terminal ? QString() : exec;
}

}  // namespace platform
