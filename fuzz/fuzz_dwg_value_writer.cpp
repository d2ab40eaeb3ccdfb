// SPDX-License-Identifier: GPL-3.0-or-later
// Round trips through the DWG attribute value writer: the first input byte picks a drawing
// AutoCAD saved (every release from R13 to R2018, and one in code page 1250); the rest is up to
// four edits, each an attribute (one byte), a length (one byte) and that many UTF-16 code units
// (unpaired surrogates and control characters included). The edits are either refused with a
// reason, or the new drawing reads back with every check value verified, gives each edited
// attribute its new value and every other attribute and reference as before, and writing the
// old values back gives a drawing that reads as the original.
//
// QUILLON_FUZZ_DWG_FAMILY=flat|paged|r2007 keeps to the drawings of one file layout (R13 to
// R2000, R2004 and R2010 on, R2007), for a run per layout.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "drawing/attribute_value_writer.h"
#include "drawing/dxf_reader.h"

namespace {

struct Seed {
    const char* name;
    const char* family;
};

constexpr Seed kSeeds[] = {
    {"example_r13.dwg", "flat"},      {"example_r14.dwg", "flat"},   {"example_2000.dwg", "flat"},
    {"entities-2d_2000.dwg", "flat"}, {"example_2004.dwg", "paged"}, {"example_2010.dwg", "paged"},
    {"gh209_1_2010.dwg", "paged"},    {"example_2013.dwg", "paged"}, {"example_2018.dwg", "paged"},
    {"example_2007.dwg", "r2007"},
};

std::shared_ptr<const drawing::Drawing> read(const QByteArray& bytes) {
    const auto drawing = drawing::readDrawingBytes(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return drawing ? drawing.value() : nullptr;
}

struct Loaded {
    QByteArray bytes;
    std::shared_ptr<const drawing::Drawing> drawing;
};

const std::vector<Loaded>& seeds() {
    static const std::vector<Loaded> all = [] {
        const char* family = std::getenv("QUILLON_FUZZ_DWG_FAMILY");
        std::vector<Loaded> out;
        for (const Seed& seed : kSeeds) {
            if (family && *family && std::strcmp(family, seed.family) != 0) continue;
            QFile file(QStringLiteral(QUILLON_TEST_DRAWINGS_DIR "/autocad/") +
                       QLatin1StringView(seed.name));
            if (!file.open(QIODevice::ReadOnly)) __builtin_trap();
            Loaded loaded{file.readAll(), nullptr};
            loaded.drawing = read(loaded.bytes);
            if (!loaded.drawing || loaded.drawing->attributes.empty()) __builtin_trap();
            out.push_back(std::move(loaded));
        }
        if (out.empty()) __builtin_trap();
        return out;
    }();
    return all;
}

bool sameReferences(const drawing::Drawing& a, const drawing::Drawing& b) {
    if (a.inserts.size() != b.inserts.size() || a.enumeration != b.enumeration) return false;
    for (std::size_t i = 0; i < a.inserts.size(); ++i) {
        const drawing::InsertRecord& x = a.inserts[i];
        const drawing::InsertRecord& y = b.inserts[i];
        if (x.name != y.name || x.layer != y.layer || x.handle.view() != y.handle.view() ||
            x.firstAttribute != y.firstAttribute || x.attributeCount != y.attributeCount ||
            x.insertion.x != y.insertion.x || x.insertion.y != y.insertion.y ||
            x.rotation != y.rotation || x.layout != y.layout)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const Loaded& seed = seeds()[data[0] % seeds().size()];
    const auto& attributes = seed.drawing->attributes;
    std::vector<drawing::AttributeValueEdit> edits;
    std::vector<QString> expected(attributes.size());
    std::vector<bool> edited(attributes.size());
    std::size_t at = 1;
    while (edits.size() < 4 && at + 2 <= size) {
        const std::size_t index = data[at] % attributes.size();
        const std::size_t length = data[at + 1];
        at += 2;
        QString value;
        for (std::size_t i = 0; i < length && at + 1 < size; ++i, at += 2)
            value += QChar(static_cast<char16_t>(data[at] | (data[at + 1] << 8)));
        drawing::AttributeLocator locator;
        locator.handle = attributes[index].handle.toQString();
        edits.push_back({locator, value});
        expected[index] = value;
        edited[index] = true;
    }
    if (edits.empty()) return 0;
    const auto written = drawing::rewriteAttributeValues(seed.bytes, edits);
    if (!written) {
        // A refusal always says why.
        if (written.error().description.isEmpty() || written.error().number == 0) __builtin_trap();
        return 0;
    }
    const auto after = read(written.value());
    if (!after || !sameReferences(*after, *seed.drawing)) __builtin_trap();
    if (after->attributes.size() != attributes.size()) __builtin_trap();
    std::vector<drawing::AttributeValueEdit> back;
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const drawing::AttributeRecord& was = attributes[i];
        const drawing::AttributeRecord& is = after->attributes[i];
        if (is.tag != was.tag || is.handle.view() != was.handle.view()) __builtin_trap();
        if (is.text != (edited[i] ? expected[i] : was.text)) __builtin_trap();
        if (edited[i]) back.push_back({{was.handle.toQString(), 0}, was.text});
    }
    const auto undone = drawing::rewriteAttributeValues(written.value(), back);
    if (!undone) __builtin_trap();
    const auto restored = read(undone.value());
    if (!restored || !sameReferences(*restored, *seed.drawing)) __builtin_trap();
    for (std::size_t i = 0; i < attributes.size(); ++i)
        if (restored->attributes[i].text != attributes[i].text) __builtin_trap();
    return 0;
}
