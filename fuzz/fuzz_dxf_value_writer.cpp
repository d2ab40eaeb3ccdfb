// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the input as an attribute value into small DXF drawings of each kind (ASCII with CR LF
// and LF, binary with 1- and 2-byte group codes; a code page without a converter, 1251, 932,
// UTF-8; single-line and multiline attributes; by handle and by ordinal). The first byte picks
// the drawing and the attribute, the rest is the value in UTF-16 code units, unpaired
// surrogates and control characters included. A value is either refused with a reason, or
// the reader gives it back exactly, every other attribute as before, and writing the old
// value back gives the original bytes.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "drawing/attribute_value_writer.h"
#include "drawing/dxf_reader.h"

namespace {

struct G {
    int code;
    std::string value;
};

struct Fixture {
    QByteArray dxf;
    bool handles;
    std::vector<std::uint32_t> multiline;  // ordinals of the multiline attributes
};

std::string ascii(const std::vector<G>& groups, const char* lineEnd) {
    std::string out;
    char code[16];
    for (const G& g : groups) {
        std::snprintf(code, sizeof code, "%3d", g.code);
        out += code;
        out += lineEnd;
        out += g.value;
        out += lineEnd;
    }
    return out;
}

std::string binary(const std::vector<G>& groups, bool wideCodes) {
    std::string out("AutoCAD Binary DXF\r\n\x1a\0", 22);
    const auto put = [&out](const void* p, std::size_t n) {
        out.append(static_cast<const char*>(p), n);
    };
    for (const G& g : groups) {
        const auto code = static_cast<std::int16_t>(g.code);
        if (wideCodes) {
            put(&code, 2);
        } else if (g.code < 255) {
            out += static_cast<char>(g.code);
        } else {
            out += '\xff';
            put(&code, 2);
        }
        if (g.code >= 10 && g.code <= 59) {
            const double real = std::strtod(g.value.c_str(), nullptr);
            put(&real, 8);
        } else if (g.code >= 60 && g.code <= 79) {
            const auto integer = static_cast<std::int16_t>(std::atoi(g.value.c_str()));
            put(&integer, 2);
        } else {
            out += g.value;
            out += '\0';
        }
    }
    return out;
}

std::vector<G> header(const char* release, const char* codePage) {
    std::vector<G> out{{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, release}};
    if (codePage) out.insert(out.end(), {{9, "$DWGCODEPAGE"}, {3, codePage}});
    out.push_back({0, "ENDSEC"});
    return out;
}

void append(std::vector<G>& to, std::initializer_list<G> groups) {
    to.insert(to.end(), groups);
}

const std::vector<Fixture>& fixtures() {
    static const std::vector<Fixture> all = [] {
        std::vector<Fixture> out;
        // R12 without handles, CR LF, no code page named.
        std::vector<G> r12 = header("AC1009", nullptr);
        append(r12, {{0, "SECTION"},
                     {2, "ENTITIES"},
                     {0, "INSERT"},
                     {8, "0"},
                     {66, "1"},
                     {2, "FRAME"},
                     {10, "0.0"},
                     {20, "0.0"},
                     {0, "ATTRIB"},
                     {8, "0"},
                     {1, "A-101"},
                     {2, "DWGNO"},
                     {0, "ATTRIB"},
                     {1, ""},
                     {2, "TITLE"},
                     {0, "SEQEND"},
                     {0, "ENDSEC"},
                     {0, "EOF"}});
        out.push_back({QByteArray::fromStdString(ascii(r12, "\r\n")), false, {}});

        // R2000 in 1251: a layout's block, an ordinary block whose reference is never read.
        std::vector<G> r2000 = header("AC1015", "ANSI_1251");
        append(r2000, {{0, "SECTION"},
                       {2, "BLOCKS"},
                       {0, "BLOCK"},
                       {5, "20"},
                       {2, "*Paper_Space0"},
                       {0, "INSERT"},
                       {5, "21"},
                       {66, "1"},
                       {2, "B"},
                       {0, "ATTRIB"},
                       {5, "22"},
                       {1, "\xCF\xF0\xE8\xE2\xE5\xF2"},
                       {2, "T"},
                       {0, "SEQEND"},
                       {5, "23"},
                       {0, "ENDBLK"},
                       {5, "24"},
                       {0, "BLOCK"},
                       {5, "25"},
                       {2, "B"},
                       {0, "INSERT"},
                       {5, "26"},
                       {66, "1"},
                       {2, "C"},
                       {0, "ATTRIB"},
                       {5, "27"},
                       {1, "nested"},
                       {2, "T"},
                       {0, "SEQEND"},
                       {5, "28"},
                       {0, "ENDBLK"},
                       {5, "29"},
                       {0, "ENDSEC"},
                       {0, "SECTION"},
                       {2, "ENTITIES"},
                       {0, "INSERT"},
                       {5, "2A"},
                       {66, "1"},
                       {2, "B"},
                       {0, "ATTRIB"},
                       {5, "2B"},
                       {1, "plain"},
                       {2, "T"},
                       {0, "ATTRIB"},
                       {5, "2C"},
                       {1, "\\U+4E2D 50%%d"},
                       {2, "U"},
                       {0, "SEQEND"},
                       {5, "2D"},
                       {0, "ENDSEC"},
                       {0, "EOF"}});
        out.push_back({QByteArray::fromStdString(ascii(r2000, "\n")), true, {}});

        // R2018 binary: a multiline attribute beside a single-line one.
        std::vector<G> r2018 = header("AC1032", "ANSI_1252");
        append(r2018, {{0, "SECTION"},
                       {2, "ENTITIES"},
                       {0, "INSERT"},
                       {5, "30"},
                       {66, "1"},
                       {2, "B"},
                       {10, "1.5"},
                       {0, "ATTRIB"},
                       {5, "31"},
                       {1, "multi line"},
                       {2, "NOTE"},
                       {70, "0"},
                       {101, "Embedded Object"},
                       {10, "0.0"},
                       {40, "2.5"},
                       {1, "multi line"},
                       {7, "Standard"},
                       {0, "ATTRIB"},
                       {5, "32"},
                       {1, "\xC3\x98 \xE5\x9B\xB3"},
                       {2, "T"},
                       {0, "SEQEND"},
                       {5, "33"},
                       {0, "ENDSEC"},
                       {0, "EOF"}});
        out.push_back({QByteArray::fromStdString(binary(r2018, true)), true, {0}});

        // R12 binary (1-byte group codes) in 932.
        std::vector<G> r12binary = header("AC1009", "ANSI_932");
        append(r12binary, {{0, "SECTION"},
                           {2, "ENTITIES"},
                           {0, "INSERT"},
                           {5, "40"},
                           {66, "1"},
                           {2, "B"},
                           {0, "ATTRIB"},
                           {5, "41"},
                           {1, "\x93\xFA\x96\x7B"},
                           {2, "T"},
                           {0, "ATTRIB"},
                           {5, "42"},
                           {1, "x"},
                           {2, "U"},
                           {0, "SEQEND"},
                           {5, "43"},
                           {0, "ENDSEC"},
                           {0, "EOF"}});
        out.push_back({QByteArray::fromStdString(binary(r12binary, false)), true, {}});
        return out;
    }();
    return all;
}

std::vector<drawing::AttributeRecord> attributesOf(const QByteArray& dxf) {
    drawing::ReadOptions options;
    options.chunkSize = 4096;  // the drawings are small: a small buffer runs faster
    const auto read = drawing::readDrawingBytes(
        std::string_view(dxf.constData(), static_cast<std::size_t>(dxf.size())), options);
    if (!read) __builtin_trap();
    return {read.value()->attributes.begin(), read.value()->attributes.end()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const Fixture& fixture = fixtures()[data[0] % fixtures().size()];
    const auto before = attributesOf(fixture.dxf);
    const auto ordinal = static_cast<std::uint32_t>((data[0] >> 2) % before.size());
    QString value;
    for (std::size_t i = 1; i + 1 < size; i += 2)
        value += QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));

    drawing::AttributeLocator locator;
    if (fixture.handles && (data[0] & 0x80))
        locator.handle = before[ordinal].handle.toQString();
    else
        locator.ordinal = ordinal;
    const auto written = drawing::rewriteAttributeValues(fixture.dxf, {{locator, value}});
    if (!written) {
        // A refusal always says why.
        if (written.error().description.isEmpty() || written.error().number == 0) __builtin_trap();
        return 0;
    }
    QString expected = value;
    for (const std::uint32_t m : fixture.multiline)
        if (m == ordinal)
            expected.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
                .replace(u'\r', u' ')
                .replace(u'\n', u' ');
    const auto after = attributesOf(written.value());
    if (after.size() != before.size()) __builtin_trap();
    for (std::size_t i = 0; i < after.size(); ++i) {
        const QString& want = i == ordinal ? expected : before[i].text;
        if (after[i].text != want || after[i].tag != before[i].tag ||
            after[i].handle.view() != before[i].handle.view())
            __builtin_trap();
    }
    const auto undone =
        drawing::rewriteAttributeValues(written.value(), {{locator, before[ordinal].text}});
    if (!undone || undone.value() != fixture.dxf) __builtin_trap();
    return 0;
}
