// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the reader keeps of a drawing: the top-level block references and their attributes,
// nothing else. Records are compact because a large drawing holds hundreds of thousands.

#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

#include "drawing/point.h"

namespace drawing {

// A handle as written in the file (hex digits), kept inline: a QString per handle would
// triple the size of a record.
class HandleText {
public:
    static constexpr std::size_t kCapacity = 16;
    void assign(std::string_view text);
    std::string_view view() const { return {m_chars.data(), m_size}; }
    QString toQString() const { return QString::fromLatin1(m_chars.data(), m_size); }
    bool empty() const { return m_size == 0; }

private:
    std::array<char, kCapacity> m_chars{};
    std::uint8_t m_size = 0;
};

// The value of a handle as a whole number; 0 for an empty or malformed handle.
qint64 handleValue(std::string_view text);

struct AttributeRecord {
    QString tag;
    QString text;
    HandleText handle;
    // The value is a field's result (ACAD_FIELD in the attribute's extension dictionary): the
    // CAD program computes it again, so a value written into the text would not last.
    bool fromField = false;
};

struct InsertRecord {
    QString name;
    // A reference to an anonymous copy of a dynamic block: the dynamic block's name. Empty
    // otherwise, the effective name then being the name itself.
    QString effectiveName;
    QString layer;
    QString linetype;
    HandleText handle;
    qint64 ownerId = 0;
    Point3 insertion;     // world coordinates
    double rotation = 0;  // radians
    double xScale = 1;
    double yScale = 1;
    double zScale = 1;
    double linetypeScale = 1;
    int color = 256;
    int lineweight = -1;
    std::uint32_t firstAttribute = 0;  // index into Drawing::attributes
    std::uint32_t attributeCount = 0;
    bool minsert = false;
    bool visible = true;
    bool hasExtensionDictionary = false;
    bool attributesFollow = false;  // 66 = 1
    bool paperSpace = false;
    // The paper-space layout's name as its tab shows it ("Layout1"); empty in model space and
    // where the drawing names no layout (R12).
    QString layout;
};

struct Drawing {
    QString release;  // $ACADVER, "AC1009" when the header does not say
    // Deques, not vectors: growing never copies the whole set, which would double the peak
    // memory on a large drawing.
    std::deque<InsertRecord> inserts;  // in file order
    std::deque<AttributeRecord> attributes;
    // Indices into `inserts` in enumeration order: model space in file order, then each
    // paper-space layout in tab order, each in file order.
    std::vector<std::uint32_t> enumeration;
};

}  // namespace drawing
