#include <cstdint>

#include "glyphs/NativeOutline.h"

namespace {

constexpr std::size_t kRecordSize = 8;  // platform, encoding, offset

// The bytes of one table, read big-endian within its size.
struct Bytes {
    const unsigned char* data;
    std::size_t size;

    bool Holds(std::size_t at, std::size_t length) const { return at <= size && length <= size - at; }
    std::uint32_t Number(std::size_t at, int length) const {
        std::uint32_t value = 0;
        for (int i = 0; i < length; ++i) value = value << 8 | data[at + i];
        return value;
    }
};

// Format 4: segments of the Basic Multilingual Plane, each with its own
// delta or its own run of glyph numbers. Read as FreeType reads it: a
// length past the end of the table is cut to the table, a glyph number's
// place outside the subtable gives no glyph, and so does a range offset of
// 0xFFFF, which some broken fonts hold.
std::optional<std::uint32_t> SegmentGlyph(Bytes table, char32_t character) {
    if (!table.Holds(0, 14)) return std::nullopt;
    const std::size_t length = table.Number(2, 2);
    if (length < table.size) table.size = length;
    const std::size_t segments = table.Number(6, 2) / 2;
    const std::size_t ends = 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
                      rangeOffsets = deltas + 2 * segments;
    if (!table.Holds(rangeOffsets, 2 * segments)) return std::nullopt;
    if (character > 0xFFFF) return 0;
    for (std::size_t i = 0; i < segments; ++i) {
        if (character > table.Number(ends + 2 * i, 2) || character < table.Number(starts + 2 * i, 2)) continue;
        const std::uint32_t delta = table.Number(deltas + 2 * i, 2);
        const std::uint32_t rangeOffset = table.Number(rangeOffsets + 2 * i, 2);
        if (rangeOffset == 0) return (character + delta) & 0xFFFF;
        if (rangeOffset == 0xFFFF) return 0;
        const std::size_t at = rangeOffsets + 2 * i + rangeOffset + 2 * (character - table.Number(starts + 2 * i, 2));
        if (!table.Holds(at, 2)) return 0;
        const std::uint32_t glyph = table.Number(at, 2);
        return glyph == 0 ? 0 : (glyph + delta) & 0xFFFF;
    }
    return 0;
}

// Formats 12 and 13: groups of characters in rising order, which never
// overlap; in format 12 each group's characters take glyphs one after the
// other, in format 13 they all take the group's one glyph. A subtable whose
// length or groups break these rules is not read.
std::optional<std::uint32_t> GroupGlyph(Bytes table, bool oneGlyphPerGroup, char32_t character) {
    if (!table.Holds(0, 16)) return std::nullopt;
    const std::size_t length = table.Number(4, 4);
    if (length < 16 || length > table.size) return std::nullopt;
    const std::size_t groups = table.Number(12, 4);
    if (groups > (length - 16) / 12) return std::nullopt;
    std::optional<std::uint32_t> glyph = 0;
    for (std::size_t i = 0, at = 16; i < groups; ++i, at += 12) {
        const std::uint32_t first = table.Number(at, 4), last = table.Number(at + 4, 4);
        if (last < first || (i > 0 && first <= table.Number(at - 8, 4))) return std::nullopt;
        if (character < first || character > last) continue;
        const std::uint64_t found = table.Number(at + 8, 4) + (oneGlyphPerGroup ? 0 : std::uint64_t{character} - first);
        glyph = found > 0xFFFFFFFF ? 0 : static_cast<std::uint32_t>(found);
    }
    return glyph;
}

std::optional<std::uint32_t> SubtableGlyph(const Bytes& cmap, std::size_t record, char32_t character) {
    const std::size_t offset = cmap.Number(record + 4, 4);
    if (offset == 0 || !cmap.Holds(offset, 2)) return std::nullopt;
    const Bytes table{cmap.data + offset, cmap.size - offset};
    switch (table.Number(0, 2)) {
    case 4: return SegmentGlyph(table, character);
    case 12: return GroupGlyph(table, false, character);
    case 13: return GroupGlyph(table, true, character);
    default: return std::nullopt;
    }
}

bool FullUnicode(unsigned platform, unsigned encoding) {
    return (platform == 3 && encoding == 10) || (platform == 0 && encoding == 4);
}

bool Unicode(unsigned platform, unsigned encoding) {
    return platform == 0 || platform == 2 || (platform == 3 && (encoding == 1 || encoding == 10));
}

}  // namespace

std::optional<unsigned> CharacterGlyphIndex(const unsigned char* cmap, std::size_t size, unsigned glyphCount,
                                            char32_t character) {
    const Bytes table{cmap, size};
    if (!table.Holds(0, 4) || table.Number(0, 2) != 0) return std::nullopt;
    std::size_t records = table.Number(2, 2);
    if (records > (size - 4) / kRecordSize) records = (size - 4) / kRecordSize;
    for (bool full : {true, false}) {
        for (std::size_t i = records; i-- > 0;) {
            const std::size_t record = 4 + i * kRecordSize;
            const unsigned platform = table.Number(record, 2), encoding = table.Number(record + 2, 2);
            if (!(full ? FullUnicode(platform, encoding) : Unicode(platform, encoding))) continue;
            if (const std::optional<std::uint32_t> glyph = SubtableGlyph(table, record, character))
                return *glyph < glyphCount ? *glyph : 0;
        }
    }
    return std::nullopt;
}
