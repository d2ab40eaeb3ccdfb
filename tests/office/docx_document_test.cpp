// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#ifdef __unix__
#include <unistd.h>
#endif

#include "docx_python.h"
#include "office/docx_document.h"
#include "office/docx_template.h"
#include "office/docx_word_processor.h"
#include "office/office_files.h"
#include "office/ooxml_package.h"
#include "platform/scratch_folder.h"

namespace {

using office::TableFormat;
using office::TextDocument;
using office::WordProcessor;
using office::ooxml::Package;

std::shared_ptr<WordProcessor> started(const QString& folder) {
    auto session = office::startDocxWordProcessor(folder);
    EXPECT_TRUE(session.ok());
    return session.value();
}

QString withoutPageLine(const QString& dump) {
    return dump.section(QLatin1Char('\n'), 1);
}

// A document as python-docx makes it, portrait Letter with margins of 1 inch at the top and
// bottom and 1.25 inch at the sides: a header, a footer, a picture, a paragraph, a table, and
// a part no program here knows.
const QString kMakeDocument = QStringLiteral(R"(
import sys, base64, io, zipfile, docx
png = base64.b64decode('iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==')
d = docx.Document()
d.sections[0].header.paragraphs[0].text = 'Page header'
d.sections[0].footer.paragraphs[0].text = 'Page footer'
d.add_paragraph('Existing text')
d.add_picture(io.BytesIO(png))
d.add_table(rows=1, cols=1).cell(0, 0).text = 'old cell'
d.save(sys.argv[1])
with zipfile.ZipFile(sys.argv[1], 'a') as z:
    z.writestr('customXml/notes.xml', '<notes>kept as it is</notes>')
)");

QString makePythonDocument(const ScratchFolder& folder, const QString& name) {
    const QString path = folder.path(name);
    EXPECT_EQ(runPython(kMakeDocument, {path}), QString());
    return path;
}

TEST(DocxDocument, SendsReadBackByPythonDocx) {
    SKIP_WITHOUT_PYTHON_DOCX();
    using Rows = std::vector<QStringList>;
    struct Case {
        const char* name;
        QString text;  // sent as lines
        Rows rows;     // sent as a table, with the format below
        std::optional<TableFormat> table;
        QString expected;
    };
    const Case cases[] = {
        {"lines with tags, no table",
         "TAG,VAL\r\nA,1\r\nB,2\r\n",
         {},
         std::nullopt,
         "P TAG,VAL | 8.0\nP A,1 | 8.0\nP B,2 | 8.0"},
        {"table with tags",
         {},
         Rows{{"TAG", "VAL"}, {"A", "1"}, {"B", "2"}},
         TableFormat{true},
         "T 3x2\nR HB TAG|VAL\nR -- A|1\nR -- B|2\nP  |"},
        {"table without tags",
         {},
         Rows{{"A", "1"}, {"B", "2"}},
         TableFormat{false},
         "T 2x2\nR -- A|1\nR -- B|2\nP  |"},
        {"rows of unequal width",
         {},
         Rows{{"A", "1", "2"}, {"B"}},
         TableFormat{false},
         "T 2x3\nR -- A|1|2\nR -- B||\nP  |"},
        {"tabs inside cells stay in their cell",
         {},
         Rows{{"A\tx", "1"}, {"\tB\t", "2"}},
         TableFormat{false},
         "T 2x2\nR -- A\tx|1\nR -- \tB\t|2\nP  |"},
        {"tabs kept, characters XML cannot hold left out",
         QStringLiteral("a\tb\x01"
                        "c\r\nlast line unended"),
         {},
         std::nullopt,
         "P a\tbc | 8.0\nP last line unended | 8.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const auto word = started(folder.path());
        const auto document = word->AddDocument();
        ASSERT_TRUE(document.ok()) << document.error().description.toStdString();
        EXPECT_EQ(document.value()->FullName().value(), folder.path("Document1.docx"));
        ASSERT_TRUE(document.value()->SetLandscape(true).ok());
        const auto inserted = c.table ? document.value()->InsertTable(true, c.rows, 8, *c.table)
                                      : document.value()->InsertBlock(true, c.text, 8);
        ASSERT_TRUE(inserted.ok()) << inserted.error().description.toStdString();
        const QString dump = dumpDocument(folder.path("Document1.docx"));
        EXPECT_TRUE(dump.startsWith("page landscape")) << dump.toStdString();
        EXPECT_EQ(withoutPageLine(dump), c.expected);
    }
}

// Every part but the body's is kept byte for byte, in the order it was stored.
void expectOtherPartsKept(const QString& before, const QString& after) {
    const auto kind = office::docx::documentFile();
    const auto old = Package::read(before, kind);
    const auto now = Package::read(after, kind);
    ASSERT_TRUE(old.ok() && now.ok());
    ASSERT_EQ(old.value().parts().size(), now.value().parts().size());
    for (size_t i = 0; i < old.value().parts().size(); ++i) {
        const auto& a = old.value().parts()[i];
        const auto& b = now.value().parts()[i];
        EXPECT_EQ(a.name, b.name);
        if (a.name != QLatin1String("word/document.xml")) {
            EXPECT_EQ(a.data, b.data) << a.name.toStdString();
        }
    }
}

TEST(DocxDocument, BlockAtTheStartOfAPortraitDocumentFoundIgnoringCase) {
    SKIP_WITHOUT_PYTHON_DOCX();
    ScratchFolder folder;
    const QString path = makePythonDocument(folder, "Report.docx");
    QFile::copy(path, folder.path("before.docx"));
    const QString before = dumpDocument(path);
    ASSERT_TRUE(before.startsWith("page portrait 12240 15840 margins 1440 1800 1440 1800"))
        << before.toStdString();

    const auto word = started(folder.path("elsewhere"));
    const auto document = word->OpenDocument(folder.path("REPORT.DOCX"));
    ASSERT_TRUE(document.ok()) << document.error().description.toStdString();
    EXPECT_EQ(document.value()->FullName().value(), path);
    ASSERT_TRUE(document.value()->SetLandscape(false).ok());
    ASSERT_TRUE(document.value()->InsertBlock(false, "A,1\r\nB,2\r\n", 8).ok());

    const QString after = dumpDocument(path);
    // The page turns: width and height swap, and so do the top and bottom margins with the
    // left and right ones.
    EXPECT_EQ(after.section('\n', 0, 0), "page landscape 15840 12240 margins 1800 1440 1800 1440");
    EXPECT_EQ(withoutPageLine(after), "P A,1 | 8.0\nP B,2 | 8.0\n" + withoutPageLine(before));
    expectOtherPartsKept(folder.path("before.docx"), path);
    EXPECT_EQ(runPython(QStringLiteral("import sys, docx\n"
                                       "s = docx.Document(sys.argv[1]).sections[0]\n"
                                       "print(s.header.paragraphs[0].text, '/', "
                                       "s.footer.paragraphs[0].text)"),
                        {path})
                  .trimmed(),
              "Page header / Page footer");

    // A second turn changes nothing: the file is not even written.
    const QByteArray saved = ScratchFolder::readFile(path);
    ASSERT_TRUE(document.value()->SetLandscape(false).ok());
    EXPECT_EQ(ScratchFolder::readFile(path), saved);
}

TEST(DocxDocument, SuccessiveSendsStackUp) {
    SKIP_WITHOUT_PYTHON_DOCX();
    for (const bool atEnd : {true, false}) {
        SCOPED_TRACE(atEnd ? "appended" : "at the start");
        ScratchFolder folder;
        const auto document = started(folder.path())->AddDocument().value();
        ASSERT_TRUE(document->InsertTable(atEnd, {{"first"}}, 8, TableFormat{false}).ok());
        ASSERT_TRUE(document->InsertTable(atEnd, {{"second"}}, 8, TableFormat{false}).ok());
        ASSERT_TRUE(document->InsertBlock(atEnd, "third,3\r\n", 8).ok());
        const QString dump = withoutPageLine(dumpDocument(folder.path("Document1.docx")));
        const QString expected =
            atEnd ? "T 1x1\nR -- first\nP  |\nT 1x1\nR -- second\nP  |\nP third,3 | 8.0"
                  : "P third,3 | 8.0\nT 1x1\nR -- second\nP  |\nT 1x1\nR -- first\nP  |";
        EXPECT_EQ(dump, expected);
    }
}

TEST(DocxDocument, NewDocumentsTakeTheFirstFreeName) {
    ScratchFolder folder;
    folder.writeFile("Document1.docx", "someone else's");
    const auto word = started(folder.path());
    EXPECT_EQ(word->DocumentCount().value(), 0);
    EXPECT_EQ(word->ActiveDocument().value(), nullptr);
    const auto second = word->AddDocument();
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.value()->FullName().value(), folder.path("Document2.docx"));
    EXPECT_TRUE(QFileInfo::exists(folder.path("Document2.docx"))) << "saved when made";
    const auto third = word->AddDocument();
    EXPECT_EQ(third.value()->FullName().value(), folder.path("Document3.docx"));
    EXPECT_EQ(word->DocumentCount().value(), 2);
    EXPECT_EQ(word->ActiveDocument().value(), third.value());
    // Opening a document already open activates it.
    EXPECT_EQ(word->OpenDocument(folder.path("document2.docx")).value(), second.value());
    EXPECT_EQ(word->ActiveDocument().value(), second.value());
    EXPECT_EQ(ScratchFolder::readFile(folder.path("Document1.docx")), "someone else's");
}

// A send refused while the document is locked leaves nothing behind in memory either: once the
// other program lets go, the next send writes its own block only.
TEST(DocxDocument, ARefusedSendIsNotWrittenLater) {
    SKIP_WITHOUT_PYTHON_DOCX();
    ScratchFolder folder;
    const auto document = started(folder.path())->AddDocument().value();
    const QString lock = folder.writeFile(".~lock.Document1.docx#", "lock");
    EXPECT_FALSE(document->SetLandscape(true).ok());
    EXPECT_FALSE(document->InsertBlock(true, "refused\r\n", 8).ok());
    ASSERT_TRUE(QFile::remove(lock));
    ASSERT_TRUE(document->InsertBlock(true, "written\r\n", 8).ok());
    const QString dump = dumpDocument(folder.path("Document1.docx"));
    EXPECT_TRUE(dump.startsWith("page portrait")) << dump.toStdString();
    EXPECT_EQ(withoutPageLine(dump), "P written | 8.0");
}

TEST(DocxDocument, ColumnsFitTheirTextAndThePage) {
    SKIP_WITHOUT_PYTHON_DOCX();
    ScratchFolder folder;
    const auto document = started(folder.path())->AddDocument().value();
    ASSERT_TRUE(document->SetLandscape(true).ok());
    const QString wide(60, QLatin1Char('W'));
    // A value as long as a note (a single value times the type size once overflowed the
    // arithmetic, and every column fell to the narrowest width, one character a line).
    const QString note(1600, QLatin1Char('n'));
    QStringList many;
    for (int c = 0; c < 30; ++c) many << wide;
    const std::vector<QStringList> tables[] = {
        {{"x", QString(40, QLatin1Char('y'))}}, {many}, {{"x", note, "y"}, {"x", "short", "y"}}};
    for (const auto& rows : tables) {
        ASSERT_TRUE(document->InsertTable(true, rows, 8, TableFormat{}).ok());
    }
    // Per table: the second column wider than the first, all within the page's text, and the
    // second taking more than nine tenths of it.
    const QString widths = runPython(QStringLiteral(R"(
import sys, docx
d = docx.Document(sys.argv[1])
s = d.sections[-1]
text = (s.page_width - s.left_margin - s.right_margin) // 635
for t in d.tables:
    w = [int(c.width) // 635 for c in t.columns]
    print(w[0] < w[1], sum(w) <= text, w[1] * 10 > text * 9)
)"),
                                     {folder.path("Document1.docx")});
    EXPECT_EQ(widths.trimmed(), "True True False\nFalse True False\nTrue True True");
}

// Two portrait sections with a paragraph each, as python-docx makes them: the first on Letter
// paper with 1.25-inch sides, the second on A4 with half-inch sides.
const QString kMakeTwoSections = QStringLiteral(R"(
import sys, docx
from docx.shared import Twips
d = docx.Document()
d.add_paragraph('first section')
s = d.add_section()
s.page_width, s.page_height = Twips(11906), Twips(16838)
s.left_margin = s.right_margin = Twips(720)
d.add_paragraph('second section')
d.save(sys.argv[1])
)");

// The orientation of every section, then the body in order: paragraph texts, and for a table the
// section it is in and whether its columns fit that section's text, the long second one taking
// more than nine tenths of it.
const QString kDumpSections = QStringLiteral(R"(
import sys, docx
from docx.oxml.ns import qn
d = docx.Document(sys.argv[1])
print(' '.join('landscape' if s.orientation == 1 else 'portrait' for s in d.sections))
texts = [(s.page_width - s.left_margin - s.right_margin) // 635 for s in d.sections]
section, out = 0, []
for el in d.element.body.iterchildren():
    if el.tag == qn('w:tbl'):
        w = [int(g.get(qn('w:w'))) for g in el.iter(qn('w:gridCol'))]
        fits = sum(w) <= texts[section] and w[1] * 10 > texts[section] * 9
        out.append('table in %d %s' % (section + 1, 'fits' if fits else 'does not fit'))
    elif el.tag == qn('w:p'):
        text = ''.join(t.text or '' for t in el.iter(qn('w:t')))
        if text:
            out.append(text)
        if el.find(qn('w:pPr')) is not None and el.find(qn('w:pPr')).find(qn('w:sectPr')) is not None:
            section += 1
print(' / '.join(out))
)");

// The page the records land on turns, at either end; the other section keeps its page.
TEST(DocxDocument, TheSectionTheBlockGoesIntoTurnsLandscape) {
    SKIP_WITHOUT_PYTHON_DOCX();
    const struct {
        bool atEnd;
        QString expected;
    } cases[] = {
        {false, "landscape portrait\ntable in 1 fits / first section / second section"},
        {true, "portrait landscape\nfirst section / second section / table in 2 fits"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.atEnd ? "appended" : "at the start");
        ScratchFolder folder;
        const QString path = folder.path("Sections.docx");
        ASSERT_EQ(runPython(kMakeTwoSections, {path}), QString());
        ASSERT_EQ(runPython(kDumpSections, {path}).section('\n', 0, 0), "portrait portrait");
        const auto document = started(folder.path())->OpenDocument(path);
        ASSERT_TRUE(document.ok()) << document.error().description.toStdString();
        ASSERT_TRUE(document.value()->SetLandscape(c.atEnd).ok());
        const QStringList row{"x", QString(1600, QLatin1Char('n')), "y"};
        ASSERT_TRUE(document.value()->InsertTable(c.atEnd, {row}, 8, TableFormat{}).ok());
        const QString dump = runPython(kDumpSections, {path}).trimmed();
        EXPECT_EQ(dump, c.expected) << dump.toStdString();
    }
}

// ---- Broken inputs: each ends with its reason and leaves every file as it was.

bool runAsAdministrator() {
#ifdef __unix__
    return ::geteuid() == 0;
#else
    return false;
#endif
}

// Makes `path` unwritable even for the administrator, who ignores permissions. A file is
// read-only by its write bits alone, for the administrator too; a folder needs the immutable
// attribute where the file system has it. False when it cannot be done.
bool makeReadOnly(const QString& path, bool readOnly) {
    const QFileInfo info(path);
    if (info.isFile() || !runAsAdministrator()) {
        const QFile::Permissions writable =
            QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
        const QFile::Permissions permissions = QFile::permissions(path);
        return QFile::setPermissions(path,
                                     readOnly ? permissions & ~writable
                                              : permissions | QFile::WriteOwner | QFile::WriteUser);
    }
    return QProcess::execute(QStringLiteral("chattr"),
                             {readOnly ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
}

QByteArray goodDocumentBytes() {
    ScratchFolder folder;
    const auto document = started(folder.path())->AddDocument();
    EXPECT_TRUE(document.ok());
    return ScratchFolder::readFile(folder.path("Document1.docx"));
}

QByteArray withDocumentPart(const QByteArray& part) {
    Package package = office::docx::newDocumentPackage(office::docx::Paper::A4);
    package.setPart(QStringLiteral("word/document.xml"), part);
    return package.zipped().value();
}

TEST(DocxDocument, BrokenInputsAreReportedAndLeaveEveryFileAsItWas) {
    const QByteArray good = goodDocumentBytes();
    struct Case {
        const char* name;
        QString document;                // the file the send names
        QByteArray bytes;                // its content
        QString other;                   // a file beside it, when the case needs one
        const char* readOnly = nullptr;  // "folder" or "file"
        QString expected;                // in the reason
    };
    const Case cases[] = {
        {"cut-off document",
         "cut.docx",
         good.left(good.size() / 2),
         {},
         nullptr,
         "is not a document (.docx)"},
        {"text named .docx",
         "notes.docx",
         "just some text\r\n",
         {},
         nullptr,
         "is not a document (.docx)"},
        {"document without body",
         "bodiless.docx",
         withDocumentPart(
             R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"/>)"),
         {},
         nullptr,
         "the document has no body"},
        {"broken XML",
         "broken.docx",
         withDocumentPart("<w:document><w:body>"),
         {},
         nullptr,
         "is not well-formed XML"},
        {"open in Word", "report.docx", good, "~$report.docx", nullptr, "~$report.docx"},
        {"open in Word, long name", "Quarterly.docx", good, "~$arterly.docx", nullptr,
         "~$arterly.docx"},
        {"open in LibreOffice", "report.docx", good, ".~lock.report.docx#", nullptr,
         ".~lock.report.docx#"},
        {"read-only folder", "report.docx", good, {}, "folder", "Cannot save the document"},
        {"read-only document", "report.docx", good, {}, "file", "Cannot save the document"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder scratch;
        const QString folder = scratch.makeFolder("out");
        const QString path = scratch.writeFile("out/" + c.document, c.bytes);
        if (!c.other.isEmpty()) scratch.writeFile("out/" + c.other, "lock");
        const QString locked =
            c.readOnly && std::string_view(c.readOnly) == "folder" ? folder : path;
        if (c.readOnly && !makeReadOnly(locked, true)) {
            ADD_FAILURE() << "cannot make " << locked.toStdString() << " read-only";
            continue;
        }
        const auto before = folderSnapshot(scratch.path());
        QStringList reasons;
        const auto document = started(folder)->OpenDocument(path);
        if (!document) {
            reasons << document.error().description;
        } else {
            const auto turned = document.value()->SetLandscape(true);
            if (!turned) reasons << turned.error().description;
            const auto inserted =
                document.value()->InsertTable(true, {{"A", "1"}}, 8, TableFormat{true});
            if (!inserted) reasons << inserted.error().description;
            EXPECT_EQ(reasons.size(), 2) << "both changes refused";
        }
        if (c.readOnly) makeReadOnly(locked, false);
        EXPECT_FALSE(reasons.isEmpty()) << "reported";
        for (const QString& reason : reasons) {
            EXPECT_TRUE(reason.contains(c.expected)) << reason.toStdString();
            EXPECT_TRUE(reason.contains(c.document)) << reason.toStdString();
        }
        EXPECT_EQ(folderSnapshot(scratch.path()), before);
    }
}

}  // namespace
