#include "glyphs/win32/SystemTextFont.h"

#include <algorithm>

namespace {

// Whether two family names are the same name, as the system compares them.
bool SameFamily(const std::wstring& first, const std::wstring& second) {
    return lstrcmpiW(first.c_str(), second.c_str()) == 0;
}

void AddFamily(std::vector<std::wstring>& families, const std::wstring& family) {
    if (family.empty() || family.size() >= LF_FACESIZE || family[0] == L'@') return;
    for (const std::wstring& listed : families)
        if (SameFamily(listed, family)) return;
    families.push_back(family);
}

// The fonts the system links to `face` for the characters it lacks: each
// entry of its SystemLink value names a font file and, after a comma, the
// family.
void AddLinkedFamilies(const std::wstring& face, std::vector<std::wstring>& families) {
    HKEY links;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink", 0,
                      KEY_QUERY_VALUE, &links) != ERROR_SUCCESS)
        return;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(links, face.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ && size > 0 && size < (1u << 20)) {
        std::wstring value(size / sizeof(wchar_t) + 2, L'\0');
        if (RegQueryValueExW(links, face.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()), &size) ==
            ERROR_SUCCESS) {
            // Entries end at a NUL; the value's own end may lack its NULs.
            for (std::size_t at = 0; at < value.size() && value[at] != L'\0';) {
                const std::size_t end = value.find(L'\0', at);
                const std::wstring entry = value.substr(at, end - at);
                const std::size_t comma = entry.find(L',');
                if (comma != std::wstring::npos) AddFamily(families, entry.substr(comma + 1, entry.find(L',', comma + 1) - comma - 1));
                at = end + 1;
            }
        }
    }
    RegCloseKey(links);
}

int CALLBACK NoteOutlineFont(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM found) {
    if (type & TRUETYPE_FONTTYPE) *reinterpret_cast<bool*>(found) = true;
    return 1;
}

int CALLBACK ListOutlineFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM families) {
    if (type & TRUETYPE_FONTTYPE) AddFamily(*reinterpret_cast<std::vector<std::wstring>*>(families), font->lfFaceName);
    return 1;
}

// Every outline family installed, by name, so that the search for a
// character goes the same way at every start.
std::vector<std::wstring> OutlineFamilies() {
    std::vector<std::wstring> families;
    LOGFONTW every{};
    every.lfCharSet = DEFAULT_CHARSET;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &every, ListOutlineFamily, reinterpret_cast<LPARAM>(&families), 0);
    ReleaseDC(nullptr, screen);
    std::sort(families.begin(), families.end());
    return families;
}

}  // namespace

SystemTextFont::Face::~Face() {
    ScriptFreeCache(&cache);
    CloseSystemFont(font);
}

namespace {

std::unique_ptr<SystemTextFont::Face> OpenFace(const LOGFONTW& wanted, double askedEm) {
    auto face = std::make_unique<SystemTextFont::Face>();
    if (!OpenSystemFont(wanted, face->font)) return nullptr;
    SCRIPT_FONTPROPERTIES properties{};
    properties.cBytes = sizeof properties;
    if (ScriptGetFontProperties(face->font.dc, &face->cache, &properties) == S_OK)
        face->missingGlyph = properties.wgDefault;
    if (askedEm > 0.0) face->scale = askedEm / face->font.metrics.unitsPerEm;
    return face;
}

}  // namespace

bool SystemHasOutlineFont(const std::wstring& face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, NoteOutlineFont, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

std::wstring SystemInterfaceFace() {
    NONCLIENTMETRICSW metrics{};
    // The size of the structure before Windows Vista, which every system takes.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return L"MS Shell Dlg";
    return metrics.lfMessageFont.lfFaceName;
}

SystemTextFont::~SystemTextFont() = default;

bool SystemTextFont::Open(const LOGFONTW& wanted) {
    faces_.clear();
    substituteFamilies_.clear();
    substituteFace_.clear();
    everyFamilyListed_ = false;
    unavailable_.clear();
    wanted_ = wanted;
    wanted_.lfFaceName[LF_FACESIZE - 1] = L'\0';
    const std::wstring interfaceFace = SystemInterfaceFace();
    if (!SystemHasOutlineFont(wanted_.lfFaceName)) {
        std::fill(std::begin(wanted_.lfFaceName), std::end(wanted_.lfFaceName), L'\0');
        interfaceFace.copy(wanted_.lfFaceName, LF_FACESIZE - 1);
    }
    std::unique_ptr<Face> asked = OpenFace(wanted_, 0.0);
    if (!asked) return false;
    faces_.push_back(std::move(asked));
    AddFamily(substituteFamilies_, interfaceFace);
    AddLinkedFamilies(faces_[0]->font.face, substituteFamilies_);
    AddLinkedFamilies(interfaceFace, substituteFamilies_);
    substituteFace_.assign(substituteFamilies_.size(), 0);
    return true;
}

SystemTextFont::Face* SystemTextFont::OpenedFace(std::size_t substitute) {
    int& opened = substituteFace_[substitute];
    if (opened == 0) {
        LOGFONTW wanted = wanted_;
        std::fill(std::begin(wanted.lfFaceName), std::end(wanted.lfFaceName), L'\0');
        substituteFamilies_[substitute].copy(wanted.lfFaceName, LF_FACESIZE - 1);
        std::unique_ptr<Face> face = OpenFace(wanted, faces_[0]->font.metrics.unitsPerEm);
        if (!face) {
            opened = -1;
            return nullptr;
        }
        faces_.push_back(std::move(face));
        opened = static_cast<int>(faces_.size() - 1);
    }
    return opened > 0 ? faces_[opened].get() : nullptr;
}

// The substitute for a run of characters the font lacks: the first family,
// in the order of substituteFamilies_, whose font has its first character.
// Once the system's own substitutes are tried, every installed family is.
// A family that lacks it is closed again, so a search keeps no font open
// that the text does not use.
std::uint32_t SystemTextFont::SubstituteFor(const std::wstring& characters) {
    const std::u32string wanted = CharactersFromWide(characters);
    if (wanted.empty() || unavailable_.find(wanted[0]) != std::u32string::npos) return 0;
    for (std::size_t s = 0;; ++s) {
        if (s == substituteFamilies_.size()) {
            if (everyFamilyListed_) break;
            everyFamilyListed_ = true;
            for (const std::wstring& family : OutlineFamilies()) AddFamily(substituteFamilies_, family);
            substituteFace_.resize(substituteFamilies_.size(), 0);
            if (s == substituteFamilies_.size()) break;
        }
        const bool wasOpen = substituteFace_[s] != 0;
        Face* face = OpenedFace(s);
        if (!face) continue;
        if (SystemFontHas(face->font, wanted[0])) return static_cast<std::uint32_t>(substituteFace_[s]);
        if (!wasOpen && substituteFace_[s] == static_cast<int>(faces_.size() - 1)) {
            faces_.pop_back();
            substituteFace_[s] = 0;
        }
    }
    unavailable_ += wanted[0];
    return 0;
}

bool SystemTextFont::GlyphOutline(std::uint32_t face, std::uint32_t glyphIndex, CharacterOutline& outline) {
    outline.clear();
    // Glyph 0 stands for a character no font has: it shows nothing.
    if (face >= faces_.size() || glyphIndex == 0 || glyphIndex > 0xFFFF) return false;
    const Face& from = *faces_[face];
    if (!SystemGlyphIndexOutline(from.font, glyphIndex, outline)) return false;
    if (from.scale == 1.0) return true;
    // A substitute's outline in the asked font's units, where its advances are.
    const auto scale = [&from](OutlinePoint& point) {
        point.x *= from.scale;
        point.y *= from.scale;
    };
    for (OutlineContour& contour : outline) {
        scale(contour.start);
        for (OutlineSegment& segment : contour.segments) {
            for (OutlinePoint& control : segment.control) scale(control);
            scale(segment.to);
        }
    }
    return true;
}

FontMetrics SystemTextFont::Metrics() const {
    return faces_.empty() ? FontMetrics{} : faces_[0]->font.metrics;
}

std::wstring SystemTextFont::FaceName(std::uint32_t face) const {
    return face < faces_.size() ? faces_[face]->font.face : std::wstring();
}
