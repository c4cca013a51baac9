#include "glyphs/win32/SystemFontOutlines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Outlines come at one pixel to the font unit, so the identity matrix.
constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// A table's tag as GetFontData takes it: its four bytes in file order.
constexpr DWORD TableTag(const char (&name)[5]) {
    return static_cast<DWORD>(name[0] | name[1] << 8 | name[2] << 16 | name[3] << 24);
}
constexpr std::size_t kCapHeightOffset = 88;  // in the 'OS/2' table
constexpr std::size_t kLocaFormatOffset = 50;  // in the 'head' table
constexpr int kComponentDepth = 8;             // nesting of composite glyphs
constexpr int kMostGlyphReads = 256;           // glyphs read for one, components included

// What the 'glyf' table says of one contour: GDI's outlines carry no on- and
// off-curve flags, and a contour whose first point is off the curve needs them.
struct ContourEnds {
    std::size_t points = 0;
    bool firstOn = true;
    bool lastOn = true;
};

// A point of a contour as the font stores it, on or off the curve.
struct FlaggedPoint {
    OutlinePoint point;
    bool on;
};

double FixedValue(const FIXED& value) {
    return value.value + value.fract / 65536.0;
}

OutlinePoint ControlPoint(const POINTFX& point) {
    return {FixedValue(point.x), FixedValue(point.y)};
}

// A whole number of font units as FreeType's integers give it: truncated
// toward zero, and a zero never negative.
double WholeUnits(double value) {
    return std::trunc(value) + 0.0;
}

OutlinePoint Midpoint(const OutlinePoint& a, const OutlinePoint& b) {
    return {WholeUnits((a.x + b.x) / 2), WholeUnits((a.y + b.y) / 2)};
}

// A point on the curve as FreeType has it: in whole font units, truncated
// toward zero. The font's own on-curve points are whole already; a start the
// system made between two off-curve points may not be.
OutlinePoint OnCurvePoint(const POINTFX& point) {
    return {WholeUnits(FixedValue(point.x)), WholeUnits(FixedValue(point.y))};
}

// The on-curve point implied between two control points of a quadratic
// spline, computed as FreeType computes it: (a + b) / 2 in whole units,
// truncated toward zero.
OutlinePoint ImpliedPoint(const POINTFX& a, const POINTFX& b) {
    return Midpoint(ControlPoint(a), ControlPoint(b));
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

// FreeType's walk of a contour that starts off the curve: from the last point
// when that lies on the curve, else from midway between the last and the first.
OutlineContour WalkFromOffCurveStart(const std::vector<FlaggedPoint>& points) {
    OutlineContour contour;
    std::size_t limit = points.size();
    if (points.back().on)
        contour.start = points[--limit].point;
    else
        contour.start = Midpoint(points.back().point, points[0].point);
    for (std::size_t i = 0; i < limit; ++i) {
        const OutlinePoint& control = points[i].point;
        if (points[i].on) {
            contour.segments.push_back({0, {}, control});
        } else if (i + 1 == limit) {
            contour.segments.push_back({1, {control, {}}, contour.start});
            return contour;
        } else {
            const FlaggedPoint& next = points[i + 1];
            const OutlinePoint to = next.on ? next.point : Midpoint(control, next.point);
            contour.segments.push_back({1, {control, {}}, to});
            if (next.on) ++i;  // the end point is used up
        }
    }
    contour.segments.push_back({0, {}, contour.start});
    return contour;
}

// The font's points of one contour of a GGO_NATIVE buffer, where the system
// (Wine, at least) starts the contour at the font's first point even when it
// lies off the curve and ends a last curve that wraps round on it again: the
// points in the font's order, or none when the buffer is not of that form.
std::vector<FlaggedPoint> PointsOfOffCurveStart(const POINTFX& start, const std::vector<std::pair<WORD, std::vector<POINTFX>>>& curves,
                                                const ContourEnds& ends) {
    std::vector<FlaggedPoint> points{{ControlPoint(start), false}};
    for (const auto& [type, curve] : curves) {
        if (type != TT_PRIM_LINE && type != TT_PRIM_QSPLINE) return {};
        for (std::size_t i = 0; i < curve.size(); ++i) {
            const bool on = type == TT_PRIM_LINE || i + 1 == curve.size();
            points.push_back({on ? OnCurvePoint(curve[i]) : ControlPoint(curve[i]), on});
        }
    }
    if (!ends.lastOn) {
        if (curves.back().first != TT_PRIM_QSPLINE || !SamePoint(points.back().point, points[0].point)) return {};
        points.pop_back();
    }
    if (points.size() != ends.points) return {};
    return points;
}

// `cubic`: the font's outlines are cubic curves (a 'CFF ' or 'CFF2' table),
// which Wine reports as quadratic splines of two controls and an end.
bool ReadNativeOutline(const unsigned char* data, std::size_t size, const std::vector<ContourEnds>& ends, bool cubic,
                       CharacterOutline& outline) {
    outline.clear();
    std::vector<std::vector<FlaggedPoint>> offCurveStarts;
    std::size_t offset = 0;
    while (offset < size) {
        TTPOLYGONHEADER header;
        if (size - offset < sizeof header) return false;
        std::memcpy(&header, data + offset, sizeof header);
        if (header.dwType != TT_POLYGON_TYPE || header.cb < sizeof header || header.cb > size - offset) return false;
        const std::size_t end = offset + header.cb;
        OutlineContour contour;
        contour.start = OnCurvePoint(header.pfxStart);
        std::vector<std::pair<WORD, std::vector<POINTFX>>> curves;
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
            if (cubic && type == TT_PRIM_QSPLINE && count % 3 == 0) type = TT_PRIM_CSPLINE;
            if (!AddCurve(type, points, contour)) return false;
            curves.emplace_back(type, std::move(points));
        }
        offset = end;
        // A contour of a single point has no ink and is left out, as on the
        // FreeType side. FreeType closes every other contour with a line back
        // to its start, except where its last curve already returns there.
        if (curves.empty()) continue;
        if (curves.back().first == TT_PRIM_LINE || !SamePoint(contour.segments.back().to, contour.start))
            contour.segments.push_back({0, {}, contour.start});
        const std::size_t index = outline.size();
        outline.push_back(std::move(contour));
        offCurveStarts.push_back(index < ends.size() && !ends[index].firstOn
                                     ? PointsOfOffCurveStart(header.pfxStart, curves, ends[index])
                                     : std::vector<FlaggedPoint>{});
    }
    // The font's flags are trusted only when they describe every contour.
    if (ends.size() != outline.size()) return true;
    for (std::size_t i = 0; i < outline.size(); ++i)
        if (!offCurveStarts[i].empty()) outline[i] = WalkFromOffCurveStart(offCurveStarts[i]);
    return true;
}

std::vector<unsigned char> FontBytes(HDC dc, DWORD tag, DWORD offset, DWORD length) {
    std::vector<unsigned char> bytes(length);
    if (length == 0 || GetFontData(dc, tag, offset, bytes.data(), length) != length) bytes.clear();
    return bytes;
}

unsigned BigEndian(const std::vector<unsigned char>& bytes, std::size_t at, int size) {
    unsigned value = 0;
    for (int i = 0; i < size; ++i) value = value << 8 | bytes[at + i];
    return value;
}

// The font's 'glyf' table as GlyphContourEnds reads it, glyph by glyph.
struct GlyphTable {
    HDC dc;
    bool longOffsets;  // the 'loca' table's form
    DWORD size;        // bytes of the 'glyf' table
    int reads = 0;     // glyphs read so far, components included
};

// The ends of every contour of one glyph of the 'glyf' table, a composite
// glyph's components in order, as FreeType loads them; false when the glyph's
// data does not hold together, or its components nest too deep or too many.
bool GlyphContourEnds(GlyphTable& table, unsigned glyph, int depth, std::vector<ContourEnds>& ends) {
    const int offsetSize = table.longOffsets ? 4 : 2;
    if (depth > kComponentDepth || ++table.reads > kMostGlyphReads) return false;
    const std::vector<unsigned char> loca = FontBytes(table.dc, TableTag("loca"), glyph * offsetSize, 2 * offsetSize);
    if (loca.empty()) return false;
    const unsigned start = BigEndian(loca, 0, offsetSize) * (table.longOffsets ? 1 : 2);
    const unsigned stop = BigEndian(loca, offsetSize, offsetSize) * (table.longOffsets ? 1 : 2);
    if (stop <= start || stop > table.size) return stop == start;  // equal: a glyph without outline
    const std::vector<unsigned char> data = FontBytes(table.dc, TableTag("glyf"), start, stop - start);
    if (data.size() < 10) return false;
    const int contours = static_cast<std::int16_t>(BigEndian(data, 0, 2));
    std::size_t at = 10;
    if (contours < 0) {
        for (unsigned flags = 0x20; flags & 0x20;) {  // MORE_COMPONENTS
            if (data.size() < at + 4) return false;
            flags = BigEndian(data, at, 2);
            if (!GlyphContourEnds(table, BigEndian(data, at + 2, 2), depth + 1, ends)) return false;
            // The arguments (words or bytes) and the scale (none, one, x and y, or two by two).
            at += 4 + (flags & 0x1 ? 4 : 2) + (flags & 0x8 ? 2 : flags & 0x40 ? 4 : flags & 0x80 ? 8 : 0);
        }
        return true;
    }
    if (data.size() < at + 2 * contours + 2) return false;
    std::vector<unsigned> lastPoints;
    for (int i = 0; i < contours; ++i, at += 2) lastPoints.push_back(BigEndian(data, at, 2));
    at += 2 + BigEndian(data, at, 2);  // past the instructions
    const std::size_t pointCount = contours > 0 ? lastPoints.back() + 1 : 0;
    std::vector<bool> on;
    while (on.size() < pointCount) {
        if (at >= data.size()) return false;
        const unsigned flag = data[at++];
        std::size_t repeat = 1;
        if (flag & 0x8) {
            if (at >= data.size()) return false;
            repeat += data[at++];
        }
        on.insert(on.end(), std::min(repeat, pointCount - on.size()), flag & 0x1);
    }
    std::size_t first = 0;
    for (unsigned last : lastPoints) {
        if (last < first || last >= pointCount) return false;
        ends.push_back({last - first + 1, on[first], on[last]});
        first = last + 1;
    }
    return true;
}

}  // namespace

bool NativeOutlineContours(const unsigned char* data, std::size_t size, CharacterOutline& outline) {
    return ReadNativeOutline(data, size, {}, false, outline);
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
    const DWORD tableSize = GetFontData(font.dc, TableTag("OS/2"), 0, nullptr, 0);
    if (tableSize != GDI_ERROR && tableSize >= kCapHeightOffset + 2) {
        std::vector<unsigned char> table(tableSize);
        if (GetFontData(font.dc, TableTag("OS/2"), 0, table.data(), tableSize) == tableSize) {
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
    // The font's flags, where it has a 'glyf' table, for the contours that
    // start off the curve; single points are left out as the outline leaves them.
    std::vector<ContourEnds> ends;
    const std::vector<unsigned char> head = FontBytes(font.dc, TableTag("head"), kLocaFormatOffset, 2);
    GlyphTable table{font.dc, !head.empty() && BigEndian(head, 0, 2) == 1, GetFontData(font.dc, TableTag("glyf"), 0, nullptr, 0)};
    if (head.empty() || table.size == GDI_ERROR || !GlyphContourEnds(table, index, 0, ends)) ends.clear();
    std::erase_if(ends, [](const ContourEnds& contour) { return contour.points < 2; });
    const bool cubic = GetFontData(font.dc, TableTag("CFF "), 0, nullptr, 0) != GDI_ERROR ||
                       GetFontData(font.dc, TableTag("CFF2"), 0, nullptr, 0) != GDI_ERROR;
    return ReadNativeOutline(buffer.data(), size, ends, cubic, outline);
}
