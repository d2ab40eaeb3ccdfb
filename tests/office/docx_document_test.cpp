// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QXmlStreamReader>
#ifdef __unix__
#include <unistd.h>
#endif

#include "docx_python.h"
#include "office/docx_document.h"
#include "office/docx_template.h"
#include "office/docx_word_processor.h"
#include "office/office_files.h"
#include "office/ooxml_package.h"
#include "package_parts.h"
#include "platform/scratch_folder.h"

namespace {

using office::TableFormat;
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

// How lines and tables land in the body is the document sender's to show; here, what only the
// document itself decides: markup and control characters in the text, and short rows.
TEST(DocxDocument, TextIsEscapedAndShortRowsArePadded) {
    SKIP_WITHOUT_PYTHON_DOCX();
    ScratchFolder folder;
    const auto document = started(folder.path())->AddDocument().value();
    ASSERT_TRUE(document->InsertTable(true, {{"A", "<1>", "2"}, {"B & C"}}, 8, {false}).ok());
    // Tabs are kept; characters XML cannot hold are left out.
    ASSERT_TRUE(document->InsertBlock(true, "a\tb\x01<c>&amp;\r\nlast line unended", 8).ok());
    EXPECT_EQ(withoutPageLine(dumpDocument(folder.path("Document1.docx"))),
              "T 2x3\nR -- A|<1>|2\nR -- B & C||\nP  |\nP a\tb<c>&amp; | 8.0\n"
              "P last line unended | 8.0");
}

TEST(DocxDocument, BlockAtTheStartOfAPortraitDocumentFoundIgnoringCase) {
    SKIP_WITHOUT_PYTHON_DOCX();
    ScratchFolder folder;
    const QString path = folder.path("Report.docx");
    ASSERT_EQ(runPython(kMakeDocument, {path}), QString());
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
    expectPartsKept(folder.path("before.docx"), path, office::docx::documentFile(),
                    {"word/document.xml"});
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

// The orientation of every section, then per table: the section it is in, whether its second
// column is wider than the first, whether the columns fit that section's text, and whether the
// second takes more than nine tenths of it.
const QString kDumpColumns = QStringLiteral(R"(
import sys, docx
from docx.oxml.ns import qn
d = docx.Document(sys.argv[1])
print(' '.join('landscape' if s.orientation == 1 else 'portrait' for s in d.sections))
texts = [(s.page_width - s.left_margin - s.right_margin) // 635 for s in d.sections]
section = 0
for el in d.element.body.iterchildren():
    if el.tag == qn('w:tbl'):
        w = [int(g.get(qn('w:w'))) for g in el.iter(qn('w:gridCol'))]
        print(section + 1, w[0] < w[1], sum(w) <= texts[section], w[1] * 10 > texts[section] * 9)
    elif el.find(qn('w:pPr') + '/' + qn('w:sectPr')) is not None:
        section += 1
)");

// Columns fit their text and the page of the section the table goes into, turned landscape.
TEST(DocxDocument, ColumnsFitTheirTextAndTheirSectionsPage) {
    SKIP_WITHOUT_PYTHON_DOCX();
    ScratchFolder folder;
    const QString path = folder.path("Sections.docx");
    ASSERT_EQ(runPython(kMakeTwoSections, {path}), QString());
    const auto document = started(folder.path())->OpenDocument(path);
    ASSERT_TRUE(document.ok()) << document.error().description.toStdString();
    // A value as long as a note (a single value times the type size once overflowed the
    // arithmetic, and every column fell to the narrowest width, one character a line).
    const QStringList note{"x", QString(1600, QLatin1Char('n')), "y"};
    QStringList many;
    for (int c = 0; c < 30; ++c) many << QString(60, QLatin1Char('W'));
    // Two tables at either end: each stacks on the one before.
    const std::pair<bool, std::vector<QStringList>> ends[] = {
        {false, {note, {"x", QString(40, QLatin1Char('y'))}}}, {true, {many, note}}};
    for (const auto& [atEnd, rows] : ends) {
        ASSERT_TRUE(document.value()->SetLandscape(atEnd).ok());
        for (const QStringList& row : rows) {
            ASSERT_TRUE(document.value()->InsertTable(atEnd, {row}, 8, TableFormat{}).ok());
        }
    }
    EXPECT_EQ(runPython(kDumpColumns, {path}).trimmed(),
              "landscape landscape\n1 True True False\n1 True True True\n2 False True False\n"
              "2 True True True");
}

// Makes `folder` unwritable, also for the administrator, whom permissions do not stop: there it
// takes the immutable attribute, where the file system has it. False when it cannot be done.
bool makeReadOnly(const QString& folder, bool readOnly) {
#ifdef __unix__
    if (::geteuid() == 0) {
        return QProcess::execute("chattr", {readOnly ? "+i" : "-i", folder}) == 0;
    }
#endif
    const QFile::Permissions writable =
        QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
    const QFile::Permissions permissions = QFile::permissions(folder);
    return QFile::setPermissions(folder,
                                 readOnly ? permissions & ~writable : permissions | writable);
}

QByteArray withDocumentPart(const QByteArray& part) {
    Package package = office::docx::newDocumentPackage(office::docx::Paper::A4);
    package.setPart(QStringLiteral("word/document.xml"), part);
    return package.zipped().value();
}

// Documents the sender's tests do not break: each ends with its reason and leaves every file as
// it was.
TEST(DocxDocument, BrokenInputsAreReportedAndLeaveEveryFileAsItWas) {
    const QByteArray good =
        office::docx::newDocumentPackage(office::docx::Paper::A4).zipped().value();
    const struct {
        const char* name;
        QString document;  // the file the send names
        QByteArray bytes;  // its content
        QString other;     // a file beside it, when the case needs one
        QString expected;  // in the reason
    } cases[] = {
        {"document without body",
         "bodiless.docx",
         withDocumentPart(
             R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"/>)"),
         {},
         "the document has no body"},
        {"broken XML",
         "broken.docx",
         withDocumentPart("<w:document><w:body>"),
         {},
         "is not well-formed XML"},
        // Word shortens the name of its owner file for long names.
        {"open in Word, long name", "Quarterly.docx", good, "~$arterly.docx", "~$arterly.docx"},
        {"open in Word, 7 letters", "Report1.docx", good, "~$eport1.docx", "~$eport1.docx"},
        {"read-only folder", "report.docx", good, {}, "Cannot save the document"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder scratch;
        const QString folder = scratch.makeFolder("out");
        const QString path = scratch.writeFile("out/" + c.document, c.bytes);
        if (!c.other.isEmpty()) scratch.writeFile("out/" + c.other, "lock");
        const bool readOnly = c.expected.startsWith("Cannot save");
        if (readOnly && !makeReadOnly(folder, true)) {
            ADD_FAILURE() << "cannot make " << folder.toStdString() << " read-only";
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
        if (readOnly) makeReadOnly(folder, false);
        EXPECT_FALSE(reasons.isEmpty()) << "reported";
        for (const QString& reason : reasons) {
            EXPECT_TRUE(reason.contains(c.expected)) << reason.toStdString();
            EXPECT_TRUE(reason.contains(c.document)) << reason.toStdString();
        }
        EXPECT_EQ(folderSnapshot(scratch.path()), before);
    }
}

// The main namespace bound in ways Word's own files never bind it: what is written goes into
// that namespace under a prefix that is a name, and the part stays well-formed XML.
TEST(DocxDocument, WrittenParagraphsTakeAPrefixThatIsAName) {
    const char* const kMain = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
    const struct {
        const char* name;
        QByteArray part;
    } cases[] = {
        {"a prefix that is no name, its elements under an undeclared one",
         QByteArray("<w:document xmlns:7=\"") + kMain +
             "\"><w:body><w:p><w:r><w:t>Old</w:t></w:r></w:p></w:body></w:document>"},
        {"the default namespace, \"w\" and \"w2\" taken by others",
         QByteArray("<document xmlns=\"") + kMain +
             "\" xmlns:w=\"urn:other\" xmlns:w2=\"urn:more\"><body><p><r><t>Old</t></r></p>"
             "</body></document>"},
        {"an ordinary prefix",
         QByteArray("<x:document xmlns:x=\"") + kMain + "\"><x:body><x:p/></x:body></x:document>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder scratch;
        const QString path = scratch.writeFile("report.docx", withDocumentPart(c.part));
        const auto document = started(scratch.path())->OpenDocument(path);
        ASSERT_TRUE(document.ok()) << document.error().description.toStdString();
        ASSERT_TRUE(document.value()->InsertBlock(false, "A,1\r\n", 8).ok());
        ASSERT_TRUE(document.value()->SetLandscape(false).ok());

        const auto saved = Package::read(path, office::docx::documentFile());
        ASSERT_TRUE(saved.ok());
        QXmlStreamReader xml(*saved.value().part("word/document.xml"));
        QStringList written;  // the text of the main namespace's paragraphs
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"t" &&
                xml.namespaceUri() == QLatin1String(kMain))
                written << xml.readElementText();
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_TRUE(written.contains("A,1")) << written.join('|').toStdString();
    }
}

}  // namespace
