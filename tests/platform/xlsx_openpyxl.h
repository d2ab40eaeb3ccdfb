// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading and making workbooks with openpyxl, an independent reader of .xlsx files, through
// the Debian python that carries it.

#include <QProcess>
#include <QString>
#include <QStringList>

inline const QString kSystemPython = QStringLiteral("/usr/bin/python3");

// Whether that python can import `module`.
inline bool havePythonModule(const QString& module) {
    QProcess python;
    python.start(kSystemPython, {QStringLiteral("-c"), QStringLiteral("import ") + module});
    return python.waitForFinished(30000) && python.exitStatus() == QProcess::NormalExit &&
           python.exitCode() == 0;
}

inline bool haveOpenpyxl() {
    static const bool present = havePythonModule(QStringLiteral("openpyxl"));
    return present;
}

#define SKIP_WITHOUT_OPENPYXL()                                                            \
    if (!haveOpenpyxl())                                                                   \
    GTEST_SKIP() << "/usr/bin/python3 has no openpyxl (Debian package python3-openpyxl); " \
                    "the workbook is not read back"

// Runs `script` with `arguments` (sys.argv[1:]); returns its output, or the error it printed.
inline QString runPython(const QString& script, const QStringList& arguments = {}) {
    QProcess python;
    python.start(kSystemPython, QStringList{QStringLiteral("-c"), script} + arguments);
    if (!python.waitForFinished(60000)) return QStringLiteral("python did not finish");
    const QString output = QString::fromUtf8(python.readAllStandardOutput());
    if (python.exitCode() != 0) {
        return QStringLiteral("python failed: ") + QString::fromUtf8(python.readAllStandardError());
    }
    return output;
}

// Every cell of every sheet as "Sheet!A1 type value" lines (values with ASCII escapes), then
// the column widths that were set.
inline QString dumpWorkbook(const QString& path) {
    static const QString script = QStringLiteral(R"(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
out = []
for ws in wb.worksheets:
    for row in ws.iter_rows():
        for cell in row:
            if cell.value is not None:
                out.append('%s!%s %s %s' % (ws.title, cell.coordinate, type(cell.value).__name__,
                                            ascii(cell.value)))
    for letter, dim in sorted(ws.column_dimensions.items()):
        if dim.customWidth:
            out.append('%s width %s %.2f' % (ws.title, letter, dim.width))
print('\n'.join(out))
)");
    return runPython(script, {path}).trimmed();
}
