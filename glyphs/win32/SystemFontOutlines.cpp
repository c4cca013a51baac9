#include "glyphs/win32/SystemFontOutlines.h"

#include <cstdint>
#include <vector>

#include "glyphs/NativeOutline.h"

namespace {

// Outlines come at one pixel to the font unit, so the identity matrix.
constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

constexpr std::uint32_t kCapHeightOffset = 88;  // in the 'OS/2' table
constexpr std::uint32_t kGlyphCountOffset = 4;  // in the 'maxp' table
// The em a font may have: 'head' allows 16 to 16384 units.
constexpr UINT kSmallestEm = 16;
constexpr UINT kLargestEm = 16384;

// A table's tag as GetFontData takes it: its four bytes in file order.
DWORD GdiTag(std::uint32_t tag) {
    return (tag >> 24) | (tag >> 8 & 0xFF00) | (tag << 8 & 0xFF0000) | (tag & 0xFF) << 24;
}

// The tables of the font selected into a DC, through GetFontData.
class SelectedFontTables : public FontTables {
public:
    explicit SelectedFontTables(HDC dc) : dc_(dc) {}

    std::uint32_t TableSize(std::uint32_t tag) const override {
        const DWORD size = GetFontData(dc_, GdiTag(tag), 0, nullptr, 0);
        return size == GDI_ERROR ? 0 : size;
    }

    std::vector<unsigned char> TableBytes(std::uint32_t tag, std::uint32_t offset, std::uint32_t length) const override {
        const std::uint32_t size = TableSize(tag);
        if (length == 0 || offset > size || length > size - offset) return {};
        std::vector<unsigned char> bytes(length);
        if (GetFontData(dc_, GdiTag(tag), offset, bytes.data(), length) != length) bytes.clear();
        return bytes;
    }

private:
    HDC dc_;
};

std::uint32_t BigEndian(const std::vector<unsigned char>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) value = value << 8 | bytes[at + i];
    return value;
}

// The font's own glyph index for the character, or false when it has none.
bool GlyphIndex(const SystemFont& font, char32_t character, UINT& index) {
    if (!font.dc || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) return false;
    if (const std::optional<unsigned> glyph =
            CharacterGlyphIndex(font.characterMap.data(), font.characterMap.size(), font.glyphCount, character)) {
        index = *glyph;
        return index != 0;
    }
    if (character > 0xFFFF) return false;
    const wchar_t text = static_cast<wchar_t>(character);
    WORD glyph;
    if (GetGlyphIndicesW(font.dc, &text, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) != 1 || glyph == 0xFFFF) return false;
    index = glyph;
    return true;
}

}  // namespace

bool OpenSystemFont(const LOGFONTW& wanted, SystemFont& font) {
    CloseSystemFont(font);
    LOGFONTW request = wanted;
    request.lfHeight = -1000;
    request.lfWidth = 0;
    request.lfEscapement = 0;
    request.lfOrientation = 0;
    request.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    font.dc = CreateCompatibleDC(nullptr);
    if (!font.dc) return false;

    // The em is known only once the font is made; made a second time at that
    // size, its outlines come in the font's own units.
    UINT emSquare = 0;
    for (int pass = 0; pass < 2; ++pass) {
        HFONT made = CreateFontIndirectW(&request);
        if (!made) break;
        HGDIOBJ previous = SelectObject(font.dc, made);
        std::vector<unsigned char> metrics(GetOutlineTextMetricsW(font.dc, 0, nullptr));
        auto* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(metrics.data());
        if (metrics.size() < sizeof(OUTLINETEXTMETRICW) ||
            GetOutlineTextMetricsW(font.dc, static_cast<UINT>(metrics.size()), outline) == 0 ||
            outline->otmEMSquare < kSmallestEm || outline->otmEMSquare > kLargestEm) {
            SelectObject(font.dc, previous);
            DeleteObject(made);
            break;
        }
        if (pass == 0) {
            emSquare = outline->otmEMSquare;
            request.lfHeight = -static_cast<LONG>(emSquare);
            SelectObject(font.dc, previous);
            DeleteObject(made);
        } else {
            font.font = made;
            font.previous = previous;
        }
    }
    if (!font.font) {
        CloseSystemFont(font);
        return false;
    }

    wchar_t face[LF_FACESIZE] = {};
    if (GetTextFaceW(font.dc, LF_FACESIZE, face) > 0) font.face = face;
    font.metrics.unitsPerEm = emSquare;
    const SelectedFontTables tables(font.dc);
    const std::vector<unsigned char> os2 = tables.TableBytes(FontTableTag("OS/2"), 0, kCapHeightOffset + 2);
    if (!os2.empty()) {
        const auto capHeight = static_cast<std::int16_t>(BigEndian(os2, kCapHeightOffset, 2));
        if (BigEndian(os2, 0, 2) >= 2 && capHeight > 0) font.metrics.capitalHeight = capHeight;
    }
    const std::vector<unsigned char> maxp = tables.TableBytes(FontTableTag("maxp"), kGlyphCountOffset, 2);
    font.glyphCount = maxp.empty() ? 0 : BigEndian(maxp, 0, 2);
    // Without its number of glyphs the map cannot be checked: the system maps instead.
    if (font.glyphCount > 0)
        font.characterMap = tables.TableBytes(FontTableTag("cmap"), 0, tables.TableSize(FontTableTag("cmap")));
    CharacterOutline letterH;
    if (font.metrics.capitalHeight <= 0.0 && SystemGlyphOutline(font, U'H', letterH))
        font.metrics.letterHTop = OutlineTop(letterH);
    return true;
}

void CloseSystemFont(SystemFont& font) {
    if (font.dc && font.previous) SelectObject(font.dc, font.previous);
    if (font.font) DeleteObject(font.font);
    if (font.dc) DeleteDC(font.dc);
    font = SystemFont{};
}

bool SystemFontHas(const SystemFont& font, char32_t character) {
    UINT index;
    return GlyphIndex(font, character, index);
}

bool SystemGlyphOutline(const SystemFont& font, char32_t character, CharacterOutline& outline) {
    outline.clear();
    // By glyph index, so the outline is this font's and never one that the
    // system links in from another font.
    UINT index;
    if (!GlyphIndex(font, character, index)) return false;
    return SystemGlyphIndexOutline(font, index, outline);
}

bool SystemGlyphIndexOutline(const SystemFont& font, unsigned index, CharacterOutline& outline) {
    outline.clear();
    if (!font.dc || (font.glyphCount > 0 && index >= font.glyphCount)) return false;
    constexpr UINT format = GGO_NATIVE | GGO_UNHINTED | GGO_GLYPH_INDEX;
    GLYPHMETRICS metrics;
    const DWORD size = GetGlyphOutlineW(font.dc, index, format, &metrics, 0, nullptr, &kIdentity);
    if (size == GDI_ERROR) return false;
    if (size == 0) return true;
    std::vector<unsigned char> buffer(size);
    if (GetGlyphOutlineW(font.dc, index, format, &metrics, size, buffer.data(), &kIdentity) == GDI_ERROR) return false;
    // The font's flags, where it has a 'glyf' table, for the contours that
    // start off the curve.
    const SelectedFontTables tables(font.dc);
    std::vector<ContourEnds> ends;
    if (!GlyphContourEnds(tables, index, ends)) ends.clear();
    const bool cubic = tables.TableSize(FontTableTag("CFF ")) > 0 || tables.TableSize(FontTableTag("CFF2")) > 0;
    return NativeOutlineContours(buffer.data(), size, ends, cubic, outline);
}
