// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The prompt of the box that asks for a folder and its file pattern, in the file pattern list
// and in the search window alike. The examples name paths as this platform writes them.
inline QString fileSpecificationPrompt() {
#if defined(Q_OS_WIN)
    return QStringLiteral(
        "File Specification\r\n\r\nExamples: C:\\Dir1\\file???.dwg, C:\\My Directory\\a*.dwg");
#else
    return QStringLiteral(
        "File Specification\r\n\r\nExamples: /home/me/Dir1/file???.dwg, "
        "/home/me/My Directory/a*.dwg");
#endif
}
