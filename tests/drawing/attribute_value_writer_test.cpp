// SPDX-License-Identifier: GPL-3.0-or-later
// Attribute values written into real DXF files (ASCII and binary, R12 to R2018, code pages and
// UTF-8): our reader and ezdxf read the new values, everything else reads as before, and the
// bytes differ only where the values are.

#include "drawing/attribute_value_writer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>

#include "drawing/dxf_reader.h"
#include "drawing/reader_errors.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

using Edits = std::vector<AttributeValueEdit>;

const QString kCsvTrouble = u"Ø 図 \"quoted\", with comma"_qs;

QByteArray fixture(const char* name) {
    return QByteArray::fromStdString(readBytes(fixturePath(QString::fromLatin1(name))));
}

AttributeValueEdit edit(const char* handle, const QString& value) {
    return {{QString::fromLatin1(handle), 0}, value};
}

AttributeValueEdit editAt(std::uint32_t ordinal, const QString& value) {
    return {{QString(), ordinal}, value};
}

std::vector<AttributeRecord> attributesOf(const QByteArray& dxf) {
    const auto read =
        readDrawingBytes(std::string_view(dxf.constData(), static_cast<std::size_t>(dxf.size())));
    if (!read) {
        ADD_FAILURE() << "the reader refuses the file: " << read.error().description.toStdString();
        return {};
    }
    return {read.value()->attributes.begin(), read.value()->attributes.end()};
}

QByteArray rewrittenOrFail(const QByteArray& dxf, const Edits& edits) {
    const auto result = rewriteAttributeValues(dxf, edits);
    if (!result) {
        ADD_FAILURE() << result.error().description.toStdString();
        return {};
    }
    return result.value();
}

// The reader's index of the attribute an edit names.
std::size_t indexOf(const std::vector<AttributeRecord>& attributes, const AttributeLocator& at) {
    if (at.handle.isEmpty()) return at.ordinal;
    for (std::size_t i = 0; i < attributes.size(); ++i)
        if (attributes[i].handle.toQString().compare(at.handle, Qt::CaseInsensitive) == 0) return i;
    ADD_FAILURE() << "no attribute " << at.handle.toStdString();
    return 0;
}

// What ezdxf reads: the number of entities and objects, and the attribute values by handle.
// Nothing when ezdxf is not installed.
std::optional<QJsonObject> ezdxfView(const QByteArray& dxf) {
    QTemporaryDir folder;
    QFile file(folder.filePath(u"drawing.dxf"_qs));
    if (!file.open(QIODevice::WriteOnly) || file.write(dxf) != dxf.size()) return QJsonObject();
    file.close();
    QProcess python;
    python.start(u"/usr/bin/python3"_qs,
                 {QStringLiteral(QUILLON_FIXTURES_DIR "/../drawing/ezdxf_attribute_values.py"),
                  file.fileName()});
    if (!python.waitForFinished(120000) || python.exitCode() == 77) return std::nullopt;
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

// Lines with their line ends (ASCII) or NUL-terminated runs (binary).
QList<QByteArray> piecesOf(const QByteArray& dxf) {
    const char separator = dxf.startsWith("AutoCAD Binary DXF") ? '\0' : '\n';
    QList<QByteArray> pieces;
    qsizetype at = 0;
    while (at < dxf.size()) {
        qsizetype end = dxf.indexOf(separator, at);
        end = end < 0 ? dxf.size() : end + 1;
        pieces.append(dxf.mid(at, end - at));
        at = end;
    }
    return pieces;
}

// A fixture by name. ezdxf labelled its code page files ANSI_1252 and wrote their text as
// escapes: "1251" and "932" are those files labelled as meant, which makes them files in that
// code page (escapes read the same in any). "mixed line ends": layouts_R12.dxf with every
// other line ending in CR LF.
QByteArray drawingNamed(std::string_view name) {
    QByteArray dxf;
    if (name == "1251" || name == "932") {
        dxf = fixture(name == "1251" ? "codepage_1251_R2000.dxf" : "codepage_932_R2000.dxf");
        const QByteArray label(name.data(), static_cast<qsizetype>(name.size()));
        dxf.replace("\nANSI_1252\n", "\nANSI_" + label + "\n");
    } else if (name == "mixed line ends") {
        bool crlf = false;
        for (const QByteArray& line : piecesOf(fixture("layouts_R12.dxf")))
            dxf += (crlf = !crlf) ? line.chopped(1) + "\r\n" : line;
    } else {
        dxf = fixture(std::string(name).c_str());
    }
    return dxf;
}

// The pieces that differ; every other one is the same, and a line keeps its line end.
int changedPieces(const QByteArray& before, const QByteArray& after) {
    const auto old = piecesOf(before);
    const auto now = piecesOf(after);
    EXPECT_EQ(old.size(), now.size());
    int changed = 0;
    for (qsizetype i = 0; i < std::min(old.size(), now.size()); ++i) {
        if (old[i] == now[i]) continue;
        ++changed;
        EXPECT_EQ(old[i].endsWith("\r\n"), now[i].endsWith("\r\n")) << "piece " << i;
    }
    return changed;
}

struct RoundTrip {
    const char* fixture;  // as drawingNamed() takes it
    Edits edits;
    bool peer = true;       // ezdxf reads the file (not one without handles)
    bool sameBytes = true;  // the old values written back give the original bytes
};

void PrintTo(const RoundTrip& trip, std::ostream* out) {
    *out << trip.fixture;
}

class WriterRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(WriterRoundTrip, OnlyTheValuesChange) {
    const RoundTrip& trip = GetParam();
    const QByteArray before = drawingNamed(trip.fixture);
    const QByteArray after = rewrittenOrFail(before, trip.edits);
    ASSERT_FALSE(after.isEmpty());

    // Our reader: the new values where asked, every other attribute as it was.
    const auto old = attributesOf(before);
    const auto now = attributesOf(after);
    ASSERT_EQ(old.size(), now.size());
    std::vector<QString> expected;
    for (const auto& a : old) expected.push_back(a.text);
    Edits undo;
    for (const auto& e : trip.edits) {
        const std::size_t i = indexOf(old, e.attribute);
        expected[i] = e.value;
        undo.push_back({e.attribute, old[i].text});
    }
    for (std::size_t i = 0; i < now.size(); ++i) {
        EXPECT_EQ(now[i].text, expected[i]) << "attribute " << i;
        EXPECT_EQ(now[i].tag, old[i].tag);
        EXPECT_EQ(now[i].handle.view(), old[i].handle.view());
    }

    // Only the changed values' lines (ASCII) or strings (binary) differ.
    EXPECT_EQ(changedPieces(before, after), static_cast<int>(trip.edits.size()));

    // ezdxf: the same values and as many entities as before.
    if (trip.peer) {
        const auto peerBefore = ezdxfView(before);
        const auto peerAfter = ezdxfView(after);
        if (peerBefore && peerAfter) {
            EXPECT_EQ((*peerAfter)[u"entities"_qs], (*peerBefore)[u"entities"_qs]);
            const QJsonObject values = (*peerAfter)[u"values"_qs].toObject();
            for (const auto& a : now) {
                const QString handle = a.handle.toQString().toUpper();
                EXPECT_EQ(values[handle].toString(), a.text) << "handle " << handle.toStdString();
            }
        }
    }

    // The old values written back: the original text, and its bytes when the original was
    // written the way we write.
    const QByteArray restored = rewrittenOrFail(after, undo);
    EXPECT_EQ(attributesOf(restored).size(), old.size());
    for (std::size_t i = 0; i < old.size(); ++i)
        EXPECT_EQ(attributesOf(restored)[i].text, old[i].text);
    if (trip.sameBytes) {
        EXPECT_TRUE(restored == before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, WriterRoundTrip,
    ::testing::Values(
        // R12, Windows-1252 by default: 図 is not in it and goes as \U+56F3.
        RoundTrip{"layouts_R12.dxf",
                  {edit("58", kCsvTrouble), edit("65", u"was empty"_qs), edit("68", {})}},
        RoundTrip{"mixed line ends", {edit("58", u"first"_qs), edit("59", u"second"_qs)}},
        RoundTrip{"layouts_R12_binary.dxf",
                  {edit("58", kCsvTrouble), edit("65", u"was empty"_qs), edit("68", {})}},
        RoundTrip{"r12_no_handles.dxf",
                  {editAt(0, u"A-102"_qs), editAt(2, {}), editAt(1, u"Ø plan"_qs)},
                  false},
        // R2000: the model space and a layout's block (handle 85, Layout4).
        RoundTrip{"layouts_R2000.dxf",
                  {edit("5A", kCsvTrouble), edit("5b", {}), edit("85", u"Größe 6°"_qs)}},
        RoundTrip{"layouts_R2000_binary.dxf",
                  {edit("5A", kCsvTrouble), edit("5B", {}), edit("85", u"Größe 6°"_qs)}},
        // Cyrillic in the code page's own bytes, 図 escaped; in a 1252 file both escaped. The
        // originals have lower-case escapes (\\U+041f), so only the text comes back, not the
        // bytes.
        RoundTrip{"1251", {edit("36", u"Привет, мир 図"_qs)}, true, false},
        RoundTrip{"codepage_1251_R2000.dxf", {edit("36", u"Привет, мир 図"_qs)}, true, false},
        RoundTrip{"utf8_R2018.dxf", {edit("35", kCsvTrouble + u" 😀"_qs)}},
        RoundTrip{"layouts_R2018_binary.dxf", {edit("5A", kCsvTrouble), edit("86", {})}},
        RoundTrip{"multiline_attribute_R2018.dxf", {edit("37", u"plain 50%%d, €"_qs)}}),
    [](const auto& param) { return parameterName(param.param.fixture); });

// The reader's ordinals, in every drawing we have: each attribute named by its index gets
// its own value, and the reader finds it at that index.
TEST(AttributeValueWriter, OrdinalsAreTheReadersIndices) {
    std::vector<std::pair<QString, QByteArray>> drawings;
    for (const QString& name : QDir(fixturePath({})).entryList({u"*.dxf"_qs}))
        drawings.emplace_back(name, QByteArray::fromStdString(readBytes(fixturePath(name))));
    for (const char* name : {"example_2000.dxf", "example_r14.dxf", "example_2018.dxf",
                             "entities-2d_r11.dxf", "entities-2d_2000.dxf", "gh209_1_2010.dxf"})
        drawings.emplace_back(QString::fromLatin1(name),
                              QByteArray::fromStdString(autocadBytes(QString::fromLatin1(name))));
    for (const auto& [name, dxf] : drawings) {
        SCOPED_TRACE(name.toStdString());
        const auto old = attributesOf(dxf);
        Edits edits;
        for (std::uint32_t i = 0; i < old.size(); ++i)
            edits.push_back(editAt(i, QStringLiteral("value %1").arg(i)));
        const auto now = attributesOf(rewrittenOrFail(dxf, edits));
        ASSERT_EQ(now.size(), old.size());
        for (std::uint32_t i = 0; i < now.size(); ++i)
            EXPECT_EQ(now[i].text, QStringLiteral("value %1").arg(i));
    }
}

// Values that look like the file's own escapes or formatting read back as typed, in every
// encoding and in both kinds of attribute.
TEST(AttributeValueWriter, AcceptedValuesReadBackExactly) {
    const QStringList values = {
        kCsvTrouble,
        u""_qs,
        u" padded "_qs,
        u"tab\there"_qs,
        u"\\U+0041 \\M+18140 \\u+00e9"_qs,
        u"50%%d \\P {x} ^I \\"_qs,
        u"Ã© looks like UTF-8"_qs,
        u"€ ‰ œ Ÿ"_qs,
        u"Привет"_qs,
        u"日本語"_qs,
        u"\uFFFF"_qs,
    };
    struct Target {
        const char* name;
        QByteArray dxf;
        const char* handle;
    };
    const std::vector<Target> targets = {
        {"R12", fixture("layouts_R12.dxf"), "58"},
        {"R2000 binary", fixture("layouts_R2000_binary.dxf"), "5A"},
        {"1251", drawingNamed("1251"), "36"},
        {"932", drawingNamed("932"), "35"},
        {"UTF-8", fixture("utf8_R2018.dxf"), "35"},
        {"multiline", fixture("multiline_attribute_R2018.dxf"), "35"},
    };
    for (const Target& target : targets) {
        const std::size_t at = indexOf(attributesOf(target.dxf), edit(target.handle, {}).attribute);
        for (const QString& value : values) {
            SCOPED_TRACE(target.name + (" " + value.toStdString()));
            const auto now =
                attributesOf(rewrittenOrFail(target.dxf, {edit(target.handle, value)}));
            ASSERT_GT(now.size(), at);
            EXPECT_EQ(now[at].text, value);
        }
    }
}

// The bytes a CAD program reads: the code page's own where it has the character, \U+XXXX
// where it has not, UTF-8 from R2007 on.
TEST(AttributeValueWriter, CharactersAreWrittenInTheFilesEncoding) {
    struct Case {
        QByteArray dxf;
        const char* handle;
        QString value;
        QByteArray bytes;
    };
    const std::vector<Case> cases = {
        {drawingNamed("1251"), "36", u"Привет 図"_qs, "\n\xCF\xF0\xE8\xE2\xE5\xF2 \\U+56F3\n"},
        {fixture("codepage_1251_R2000.dxf"), "36", u"При"_qs, "\n\\U+041F\\U+0440\\U+0438\n"},
        {fixture("layouts_R2000.dxf"), "5A", u"Größe"_qs,
         "\nGr\xF6\xDF"
         "e\n"},
        {fixture("layouts_R2000_binary.dxf"), "5A", u"Größe"_qs,
         QByteArray("Gr\xF6\xDF"
                    "e\0",
                    6)},
        // C3 A9 would be read as UTF-8 (é): every character beyond ASCII goes as an escape.
        {fixture("layouts_R2000.dxf"), "5A", u"Ã©"_qs, "\n\\U+00C3\\U+00A9\n"},
        {drawingNamed("932"), "35", u"日本"_qs, "\n\x93\xFA\x96\x7B\n"},
        {fixture("utf8_R2018.dxf"), "35", u"Ø 図"_qs, "\n\xC3\x98 \xE5\x9B\xB3\n"},
        // A backslash the reader would take for the start of an escape is one itself.
        {fixture("utf8_R2018.dxf"), "35", u"a\\U+0041"_qs, "\na\\U+005CU+0041\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        EXPECT_TRUE(rewrittenOrFail(c.dxf, {edit(c.handle, c.value)}).contains(c.bytes));
    }
}

TEST(AttributeValueWriter, MultilineTextIsSplitIntoGroupsOf250Bytes) {
    const QByteArray before = fixture("multiline_attribute_R2018.dxf");
    const QString value = u"Line one {braced}\nLine two\r\n"_qs + QString(600, u'ä') + u"\\ end"_qs;
    const QByteArray after = rewrittenOrFail(before, {edit("35", value)});
    QString shown = value;
    shown.replace(u"\r\n"_qs, u" "_qs).replace(u'\n', u' ');
    EXPECT_EQ(attributesOf(after)[0].text, shown);
    EXPECT_EQ(attributesOf(after)[1].text, attributesOf(before)[1].text);
    if (const auto peer = ezdxfView(after)) {
        EXPECT_EQ((*peer)[u"values"_qs].toObject()[u"35"_qs].toString(), shown);
        EXPECT_EQ((*peer)[u"entities"_qs], (*ezdxfView(before))[u"entities"_qs]);
    }
    // The embedded text: groups 3 of at most 250 bytes, then a group 1, no character cut.
    const QList<QByteArray> lines = piecesOf(after);
    const qsizetype embedded = lines.indexOf("Embedded Object\n");
    ASSERT_GT(embedded, 0);
    int chunks = 0;
    for (qsizetype i = embedded + 1; i + 1 < lines.size() && lines[i] != "  0\n"; i += 2) {
        if (lines[i] != "  3\n" && lines[i] != "  1\n") continue;
        EXPECT_LE(lines[i + 1].size() - 1, 250);
        EXPECT_TRUE(QString::fromUtf8(lines[i + 1]).toUtf8() == lines[i + 1]);
        chunks += lines[i] == "  3\n" ? 1 : 0;
    }
    EXPECT_EQ(chunks, 4);  // 1237 bytes: 249 (no ä cut in two), 250, 250, 250, then 238
    // Outside the attribute nothing moved: the same start and end.
    const qsizetype start = before.indexOf("ATTRIB\n");
    const qsizetype end = before.size() - before.indexOf("SEQEND\n");
    EXPECT_EQ(after.left(start), before.left(start));
    EXPECT_EQ(after.right(end), before.right(end));
    // In a file with CR LF line ends the new groups end their lines the same way.
    QByteArray crlf = before;
    crlf.replace("\n", "\r\n");
    const QByteArray crlfAfter = rewrittenOrFail(crlf, {edit("35", value)});
    EXPECT_EQ(crlfAfter.count("\n"), crlfAfter.count("\r\n"));
    EXPECT_EQ(attributesOf(crlfAfter)[0].text, shown);
    // Our own text written back after another value gives the same bytes again.
    const QByteArray other = rewrittenOrFail(after, {edit("35", u"short"_qs)});
    EXPECT_TRUE(rewrittenOrFail(other, {edit("35", value)}) == after);
}

TEST(AttributeValueWriter, RefusesWhatCannotBeWrittenExactly) {
    const QByteArray r2000 = fixture("layouts_R2000.dxf");
    QByteArray sharedHandle = r2000;
    sharedHandle.replace("\n  5\n5B\n", "\n  5\n5A\n");
    // Each refusal names the attribute and the reason; every case leaves no output.
    struct Refusal {
        QByteArray dxf;
        Edits edits;
        long error;
        QString reason;
    };
    const QByteArray multiline = fixture("multiline_attribute_R2018.dxf");
    const QByteArray r12 = fixture("layouts_R12.dxf");
    const long notFound = errors::kAttributeNotFound;
    const long notWritable = errors::kValueNotWritable;
    const std::vector<Refusal> refusals = {
        {r2000,
         {edit("5A", u"ok"_qs), edit("FFFF", u"x"_qs)},
         notFound,
         u"attribute FFFF: no attribute has this handle"_qs},
        // A reference nested in a block, which the reader does not read.
        {r2000, {edit("52", u"x"_qs)}, notFound, u"no attribute has this handle"_qs},
        {fixture("r12_no_handles.dxf"), {editAt(3, {})}, notFound, u"has 3 attributes"_qs},
        {sharedHandle, {edit("5A", u"x"_qs)}, notFound, u"2 attributes have this handle"_qs},
        {r2000,
         {edit("75", u"x"_qs), edit("66", u"y"_qs), editAt(0, u"z"_qs)},
         notWritable,
         u"attribute #0: given two different values"_qs},
        {r2000, {edit("5A", u"one\ntwo"_qs)}, notWritable, u"a line break"_qs},
        {multiline, {edit("37", u"one\r\ntwo"_qs)}, notWritable, u"a line break"_qs},
        {r2000, {edit("5A", u"bell\a"_qs)}, notWritable, u"the control character U+0007"_qs},
        {fixture("layouts_R2018_binary.dxf"),
         {edit("5A", QString(QChar(0)))},
         notWritable,
         u"the control character U+0000"_qs},
        {r2000,
         {edit("5A", QString(QChar(0xD83D)) + u"x"_qs)},
         notWritable,
         u"half of a surrogate pair (U+D83D)"_qs},
        {multiline, {edit("35", QString(QChar(0xDE00)))}, notWritable, u"(U+DE00)"_qs},
        // \U+XXXX has four digits: a code page file cannot hold what lies beyond.
        {r2000,
         {edit("5A", u"😀"_qs)},
         notWritable,
         u"U+1F600, which a drawing of release AC1015 cannot hold"_qs},
        {r12, {edit("58", QString(256, u'x'))}, notWritable, u"at most 255"_qs},
        {r12, {edit("58", QString(40, u'図'))}, notWritable, u"takes 280 bytes in the file"_qs},
        {r2000, {edit("5A", QString(2050, u'x'))}, notWritable, u"at most 2049"_qs},
        {"PK\3\4 a workbook", {edit("5A", {})}, errors::kNotADrawing, u"not a DXF file"_qs},
        // A DWG file goes to the DWG writer, which finds no such attribute there.
        {QByteArray::fromStdString(autocadBytes(u"example_2000.dwg"_qs)),
         {edit("5A", {})},
         errors::kAttributeNotFound,
         u"no attribute has this handle"_qs},
        {r2000.left(r2000.indexOf("SEQEND")),
         {edit("5A", {})},
         errors::kMalformed,
         u"unexpected end of file"_qs},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.reason.toStdString());
        const auto result = rewriteAttributeValues(r.dxf, r.edits);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().number, r.error);
        EXPECT_TRUE(result.error().description.contains(r.reason))
            << result.error().description.toStdString();
    }
}

TEST(AttributeValueWriter, ValuesTheDrawingHoldsChangeNothing) {
    // Even where our encoding of the value would differ from the file's: the 1251 file writes
    // Cyrillic as escapes, the multiline text has formatting codes.
    for (const char* name : {"codepage_1251_R2000.dxf", "multiline_attribute_R2018.dxf"}) {
        const QByteArray dxf = fixture(name);
        Edits edits;
        const auto attributes = attributesOf(dxf);
        for (std::uint32_t i = 0; i < attributes.size(); ++i)
            edits.push_back(editAt(i, attributes[i].text));
        EXPECT_TRUE(rewrittenOrFail(dxf, edits) == dxf) << name;
    }
}

}  // namespace
}  // namespace drawing::test
