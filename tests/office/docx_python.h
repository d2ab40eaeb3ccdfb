// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading and making documents with python-docx, an independent reader of .docx files, through
// the Debian python that carries it.

#include <QProcess>
#include <QString>

#include "platform/xlsx_openpyxl.h"

inline bool havePythonDocx() {
    static const bool present = havePythonModule(QStringLiteral("docx"));
    return present;
}

#define SKIP_WITHOUT_PYTHON_DOCX()                                                     \
    if (!havePythonDocx())                                                             \
    GTEST_SKIP() << "/usr/bin/python3 has no docx (Debian package python3-docx); the " \
                    "document is not read back"

// The body as python-docx sees it, one line per item in order: "page <orientation> <width>
// <height> margins <top> <right> <bottom> <left>" (twips), then "P <text> | <run sizes>" for a
// paragraph, "T <rows>x<columns>" for a table followed by "R <heading flag><bold flag> <cells>"
// per row (cells joined by '|'; flags H/- and B/-).
inline QString dumpDocument(const QString& path) {
    static const QString script = QStringLiteral(R"(
import sys, docx
from docx.oxml.ns import qn
from docx.table import Table
from docx.text.paragraph import Paragraph
d = docx.Document(sys.argv[1])
s = d.sections[-1]
tw = lambda length: int(round(length / 635)) if length is not None else None
out = ['page %s %s %s margins %s %s %s %s' % (
    'landscape' if s.orientation == 1 else 'portrait', tw(s.page_width), tw(s.page_height),
    tw(s.top_margin), tw(s.right_margin), tw(s.bottom_margin), tw(s.left_margin))]
for el in d.element.body.iterchildren():
    if el.tag == qn('w:p'):
        p = Paragraph(el, d)
        sizes = sorted({str(r.font.size.pt if r.font.size else None) for r in p.runs})
        out.append('P %s | %s' % (p.text, ','.join(sizes)))
    elif el.tag == qn('w:tbl'):
        t = Table(el, d)
        out.append('T %dx%d' % (len(t.rows), len(t.columns)))
        for row in t.rows:
            trPr = row._tr.trPr
            heading = trPr is not None and trPr.find(qn('w:tblHeader')) is not None
            runs = [r for c in row.cells for p in c.paragraphs for r in p.runs]
            bold = bool(runs) and all(r.bold for r in runs)
            out.append('R %s%s %s' % ('H' if heading else '-', 'B' if bold else '-',
                                      '|'.join(c.text for c in row.cells)))
print('\n'.join(line.rstrip() for line in out))
)");
    return runPython(script, {path}).trimmed();
}
