#include "glyphs/win32/SystemFontOutlines.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Outlines come at one pixel to the font unit, so the identity matrix.
constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// The 'OS/2' table's tag as GetFontData takes it (the bytes in file order).
constexpr DWORD kOs2Tag = 'O' | ('S' << 8) | ('/' << 16) | ('2' << 24);
constexpr std::size_t kCapHeightOffset = 88;

double FixedValue(const FIXED& value) {
    return value.value + value.fract / 65536.0;
}

OutlinePoint ControlPoint(const POINTFX& point) {
    return {FixedValue(point.x), FixedValue(point.y)};
}

// A point on the curve as FreeType has it: in whole font units, truncated
// toward zero. The font's own on-curve points are whole already; a start the
// system made between two off-curve points may not be.
OutlinePoint OnCurvePoint(const POINTFX& point) {
    return {std::trunc(FixedValue(point.x)), std::trunc(FixedValue(point.y))};
}

// The on-curve point implied between two control points of a quadratic
// spline, computed as FreeType computes it: (a + b) / 2 in whole units,
// truncated toward zero.
OutlinePoint ImpliedPoint(const POINTFX& a, const POINTFX& b) {
    return {std::trunc((FixedValue(a.x) + FixedValue(b.x)) / 2), std::trunc((FixedValue(a.y) + FixedValue(b.y)) / 2)};
}

bool SamePoint(const OutlinePoint& a, const OutlinePoint& b) {
    return a.x == b.x && a.y == b.y;
}

// One TTPOLYCURVE record's points as segments of the contour.
bool AddCurve(WORD type, const std::vector<POINTFX>& points, OutlineContour& contour) {
    const std::size_t count = points.size();
    switch (type) {
    case TT_PRIM_LINE:
        for (const POINTFX& point : points) contour.segments.push_back({0, {}, OnCurvePoint(point)});
        return true;
    case TT_PRIM_QSPLINE:
        // Controls, one curve each, with the last point on the curve.
        if (count < 2) return false;
        for (std::size_t i = 0; i + 1 < count; ++i) {
            const OutlinePoint to = i + 2 == count ? OnCurvePoint(points[i + 1]) : ImpliedPoint(points[i], points[i + 1]);
            contour.segments.push_back({1, {ControlPoint(points[i]), {}}, to});
        }
        return true;
    case TT_PRIM_CSPLINE:
        // Two controls and an end, for each cubic curve.
        if (count % 3 != 0) return false;
        for (std::size_t i = 0; i < count; i += 3)
            contour.segments.push_back({2, {ControlPoint(points[i]), ControlPoint(points[i + 1])}, OnCurvePoint(points[i + 2])});
        return true;
    default:
        return false;
    }
}

}  // namespace

bool NativeOutlineContours(const unsigned char* data, std::size_t size, CharacterOutline& outline) {
    outline.clear();
    std::size_t offset = 0;
    while (offset < size) {
        TTPOLYGONHEADER header;
        if (size - offset < sizeof header) return false;
        std::memcpy(&header, data + offset, sizeof header);
        if (header.dwType != TT_POLYGON_TYPE || header.cb < sizeof header || header.cb > size - offset) return false;
        const std::size_t end = offset + header.cb;
        OutlineContour& contour = outline.emplace_back();
        contour.start = OnCurvePoint(header.pfxStart);
        bool curveEndsOnStart = false;
        for (std::size_t at = offset + sizeof header; at < end;) {
            WORD type, count;
            if (end - at < 2 * sizeof(WORD)) return false;
            std::memcpy(&type, data + at, sizeof type);
            std::memcpy(&count, data + at + sizeof type, sizeof count);
            at += 2 * sizeof(WORD);
            if (count == 0 || (end - at) / sizeof(POINTFX) < count) return false;
            std::vector<POINTFX> points(count);
            std::memcpy(points.data(), data + at, count * sizeof(POINTFX));
            at += count * sizeof(POINTFX);
            if (!AddCurve(type, points, contour)) return false;
            curveEndsOnStart = type != TT_PRIM_LINE && SamePoint(contour.segments.back().to, contour.start);
        }
        // A contour of a single point has no ink and is left out, as on the
        // FreeType side. FreeType closes every other contour with a line back
        // to its start, except where its last curve already returns there.
        if (contour.segments.empty())
            outline.pop_back();
        else if (!curveEndsOnStart)
            contour.segments.push_back({0, {}, contour.start});
        offset = end;
    }
    return true;
}

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
            GetOutlineTextMetricsW(font.dc, static_cast<UINT>(metrics.size()), outline) == 0 || outline->otmEMSquare == 0) {
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
    const DWORD tableSize = GetFontData(font.dc, kOs2Tag, 0, nullptr, 0);
    if (tableSize != GDI_ERROR && tableSize >= kCapHeightOffset + 2) {
        std::vector<unsigned char> table(tableSize);
        if (GetFontData(font.dc, kOs2Tag, 0, table.data(), tableSize) == tableSize) {
            const int version = table[0] << 8 | table[1];
            const auto capHeight = static_cast<std::int16_t>(table[kCapHeightOffset] << 8 | table[kCapHeightOffset + 1]);
            if (version >= 2 && capHeight > 0) font.metrics.capitalHeight = capHeight;
        }
    }
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

namespace {

// The font's own glyph index for the character, or false when it has none.
bool GlyphIndex(const SystemFont& font, char32_t character, WORD& index) {
    if (!font.dc || character > 0xFFFF || (character >= 0xD800 && character <= 0xDFFF)) return false;
    const wchar_t text = static_cast<wchar_t>(character);
    return GetGlyphIndicesW(font.dc, &text, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == 1 && index != 0xFFFF;
}

}  // namespace

bool SystemFontHas(const SystemFont& font, char32_t character) {
    WORD index;
    return GlyphIndex(font, character, index);
}

bool SystemGlyphOutline(const SystemFont& font, char32_t character, CharacterOutline& outline) {
    outline.clear();
    // By glyph index, so the outline is this font's and never one that the
    // system links in from another font.
    WORD index;
    if (!GlyphIndex(font, character, index)) return false;
    constexpr UINT format = GGO_NATIVE | GGO_UNHINTED | GGO_GLYPH_INDEX;
    GLYPHMETRICS metrics;
    const DWORD size = GetGlyphOutlineW(font.dc, index, format, &metrics, 0, nullptr, &kIdentity);
    if (size == GDI_ERROR) return false;
    if (size == 0) return true;
    std::vector<unsigned char> buffer(size);
    if (GetGlyphOutlineW(font.dc, index, format, &metrics, size, buffer.data(), &kIdentity) == GDI_ERROR) return false;
    return NativeOutlineContours(buffer.data(), size, outline);
}
