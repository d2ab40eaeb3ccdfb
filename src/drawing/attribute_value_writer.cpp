// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/attribute_value_writer.h"

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>

#include "drawing/attribute_sites.h"
#include "drawing/dwg/value_writer.h"
#include "drawing/text_decoder.h"
#include "drawing/text_encoder.h"

namespace drawing {

namespace {

// MTEXT text goes in groups of 250 bytes: groups 3, then the rest in one group 1.
constexpr std::size_t kTextChunk = 250;
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// A piece of the file replaced: [begin, end) becomes `bytes`.
struct Splice {
    qsizetype begin = 0;
    qsizetype end = 0;
    std::string bytes;
};

struct Target {
    AttributeSite site;
    int matches = 0;  // more than one: a handle two attributes share
};

struct HandleHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using HandleMap = std::unordered_map<std::string, std::size_t, HandleHash, std::equal_to<>>;

// Handles compare without letter case; longer ones are cut as the reader keeps them.
std::size_t upperHandle(std::string_view handle, char (&out)[HandleText::kCapacity]) {
    const std::size_t size = std::min(handle.size(), HandleText::kCapacity);
    for (std::size_t i = 0; i < size; ++i) {
        const char c = handle[i];
        out[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return size;
}

QString nameOf(const AttributeLocator& locator) {
    return locator.handle.isEmpty() ? QStringLiteral("#%1").arg(locator.ordinal) : locator.handle;
}

core::Error refusal(long number, const AttributeLocator& locator, const QString& reason) {
    return core::Error{number, QStringLiteral("attribute %1: %2").arg(nameOf(locator), reason)};
}

std::string_view bytesOf(const QByteArray& dxf, qsizetype begin, qsizetype end) {
    return {dxf.constData() + begin, static_cast<std::size_t>(end - begin)};
}

// The value the reader reads for the attribute now.
QString currentValue(const QByteArray& dxf, const AttributeSite& site, TextDecoder& decoder) {
    if (site.embedded && !site.embeddedText.empty()) {
        std::string text;
        for (const TextGroupSpan& span : site.embeddedText)
            text += bytesOf(dxf, span.valueStart, span.valueEnd);
        return decoder.decodeMText(text);
    }
    if (site.values.empty()) return {};
    const TextGroupSpan& last = site.values.back();
    return decoder.decode(bytesOf(dxf, last.valueStart, last.valueEnd));
}

// The longest start of `text` that fits in `limit` bytes and ends between two characters.
std::size_t fittingLength(const EncodedText& text, std::size_t from, std::size_t limit) {
    std::size_t best = from;
    for (const std::size_t cut : text.cuts) {
        if (cut <= from) continue;
        if (cut - from > limit) break;
        best = cut;
    }
    return best;
}

// Groups 3 and 1 holding `text`, each group made like `model` (its code line or code bytes
// and its line end), so the new groups look like the file's own.
std::string textGroups(const QByteArray& dxf, const DxfFormat& format, const TextGroupSpan& model,
                       const EncodedText& text) {
    std::string codeLine(bytesOf(dxf, model.groupStart, model.valueStart));
    const std::string_view lineEnd = bytesOf(dxf, model.valueEnd, model.groupEnd);
    const auto group = [&](char code, std::string_view value, std::string& out) {
        if (format.binary) {
            out += code == '3' ? '\x03' : '\x01';
            if (format.wideCodes) out += '\0';
            out += value;
            out += '\0';
            return;
        }
        // The model's code is 1 or 3, one digit: the same line with the other digit.
        const std::size_t digit = codeLine.find_last_of("13");
        if (digit != std::string::npos) codeLine[digit] = code;
        out += codeLine;
        out += value;
        out += lineEnd;
    };
    std::string out;
    std::size_t at = 0;
    while (text.bytes.size() - at > kTextChunk) {
        std::size_t end = fittingLength(text, at, kTextChunk);
        if (end == at) end = at + kTextChunk;  // no cut in reach: cannot happen, escapes are short
        group('3', std::string_view(text.bytes).substr(at, end - at), out);
        at = end;
    }
    group('1', std::string_view(text.bytes).substr(at), out);
    return out;
}

// The pieces that give one attribute its new value, or the reason it cannot have it.
QString planAttribute(const QByteArray& dxf, const DxfFormat& format, const AttributeSite& site,
                      const QString& value, TextEncoder& encoder, std::vector<Splice>& splices) {
    EncodedText text;
    if (!site.embedded) {
        if (site.values.empty()) return QStringLiteral("it has no value group to write into");
        if (QString reason = encoder.encodeLine(value, text); !reason.isEmpty()) return reason;
        for (const TextGroupSpan& span : site.values)
            splices.push_back({span.valueStart, span.valueEnd, text.bytes});
        return {};
    }
    if (site.embeddedText.empty())
        return QStringLiteral("its multiline text has no text group to write into");
    if (QString reason = encoder.encodeMultiline(value, text); !reason.isEmpty()) return reason;
    // The attribute's own value group holds the same text, as much as one group takes; CAD
    // programs and the reader show the embedded text, which holds it whole.
    const std::string single = text.bytes.substr(0, fittingLength(text, 0, encoder.groupLimit()));
    for (const TextGroupSpan& span : site.values)
        splices.push_back({span.valueStart, span.valueEnd, single});
    const TextGroupSpan& first = site.embeddedText.front();
    splices.push_back({first.groupStart, first.groupEnd, textGroups(dxf, format, first, text)});
    for (std::size_t i = 1; i < site.embeddedText.size(); ++i)
        splices.push_back({site.embeddedText[i].groupStart, site.embeddedText[i].groupEnd, {}});
    return {};
}

QByteArray applied(const QByteArray& dxf, std::vector<Splice>& splices) {
    std::sort(splices.begin(), splices.end(),
              [](const Splice& a, const Splice& b) { return a.begin < b.begin; });
    qsizetype size = dxf.size();
    for (const Splice& s : splices)
        size += static_cast<qsizetype>(s.bytes.size()) - (s.end - s.begin);
    QByteArray out;
    out.reserve(size);
    qsizetype at = 0;
    for (const Splice& s : splices) {
        out.append(dxf.constData() + at, s.begin - at);
        out.append(s.bytes.data(), static_cast<qsizetype>(s.bytes.size()));
        at = s.end;
    }
    out.append(dxf.constData() + at, dxf.size() - at);
    return out;
}

}  // namespace

namespace {

// A DWG file starts with its release string: "AC1032", or "AC2.10" and the like.
bool isDwg(const QByteArray& file) {
    return file.startsWith("AC1") || file.startsWith("AC2.");
}

}  // namespace

core::Status checkAttributeValues(const QByteArray& file,
                                  const std::vector<AttributeValueEdit>& edits) {
    if (isDwg(file)) {
        return dwg::checkAttributeValues(
            std::string_view(file.constData(), static_cast<std::size_t>(file.size())), edits);
    }
    // A DXF write is a copy with the changed groups replaced: as cheap as any check of it.
    const auto written = rewriteAttributeValues(file, edits);
    if (!written) return written.error();
    return core::Done{};
}

core::Result<QByteArray> rewriteAttributeValues(const QByteArray& dxf,
                                                const std::vector<AttributeValueEdit>& edits) {
    if (isDwg(dxf)) {
        return dwg::rewriteAttributeValues(
            std::string_view(dxf.constData(), static_cast<std::size_t>(dxf.size())), edits);
    }
    // The attributes asked for: one target per handle or ordinal named.
    HandleMap byHandle;
    std::unordered_map<std::uint32_t, std::size_t> byOrdinal;
    std::vector<Target> targets;
    std::vector<std::size_t> targetOfEdit(edits.size(), kNone);
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const AttributeLocator& locator = edits[i].attribute;
        if (locator.handle.isEmpty()) {
            const auto [at, added] = byOrdinal.emplace(locator.ordinal, targets.size());
            if (added) targets.emplace_back();
            targetOfEdit[i] = at->second;
            continue;
        }
        const QByteArray latin = locator.handle.trimmed().toLatin1();
        if (QString::fromLatin1(latin) != locator.handle.trimmed()) continue;  // never a handle
        char key[HandleText::kCapacity];
        const std::size_t size = upperHandle(
            std::string_view(latin.constData(), static_cast<std::size_t>(latin.size())), key);
        const auto [at, added] = byHandle.emplace(std::string(key, size), targets.size());
        if (added) targets.emplace_back();
        targetOfEdit[i] = at->second;
    }

    std::uint32_t attributeCount = 0;
    const auto found = [&](const AttributeSite& site) {
        ++attributeCount;
        if (const auto at = byOrdinal.find(site.ordinal); at != byOrdinal.end()) {
            targets[at->second].site = site;
            ++targets[at->second].matches;
        }
        if (byHandle.empty() || site.handle.empty()) return;
        char key[HandleText::kCapacity];
        const std::size_t size = upperHandle(site.handle.view(), key);
        if (const auto at = byHandle.find(std::string_view(key, size)); at != byHandle.end()) {
            targets[at->second].site = site;
            ++targets[at->second].matches;
        }
    };
    const auto scanned = scanAttributeSites(dxf, found);
    if (!scanned) return scanned.error();
    const DxfFormat& format = scanned.value();

    TextDecoder decoder;
    decoder.setCodePage(format.codePage);
    TextEncoder encoder(format.release, format.codePage);
    // Each attribute once, whichever way it was named: the edit that set its value first.
    std::unordered_map<std::uint32_t, std::size_t> editOfAttribute;
    std::vector<Splice> splices;
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const AttributeValueEdit& edit = edits[i];
        const std::size_t t = targetOfEdit[i];
        if (t == kNone || targets[t].matches == 0) {
            const QString reason =
                edit.attribute.handle.isEmpty()
                    ? QStringLiteral("not found; the drawing has %1 attributes, counted from 0")
                          .arg(attributeCount)
                    : QStringLiteral("no attribute has this handle");
            return refusal(errors::kAttributeNotFound, edit.attribute, reason);
        }
        if (targets[t].matches > 1)
            return refusal(
                errors::kAttributeNotFound, edit.attribute,
                QStringLiteral("%1 attributes have this handle").arg(targets[t].matches));
        const AttributeSite& site = targets[t].site;
        const auto [earlier, first] = editOfAttribute.emplace(site.ordinal, i);
        if (!first) {
            if (edits[earlier->second].value == edit.value) continue;
            return refusal(errors::kValueNotWritable, edit.attribute,
                           QStringLiteral("given two different values"));
        }
        if (currentValue(dxf, site, decoder) == edit.value) continue;
        const QString reason = planAttribute(dxf, format, site, edit.value, encoder, splices);
        if (!reason.isEmpty()) return refusal(errors::kValueNotWritable, edit.attribute, reason);
    }
    if (splices.empty()) return dxf;
    return applied(dxf, splices);
}

}  // namespace drawing
