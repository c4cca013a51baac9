// A text laid out by Windows' own shaper, Uniscribe (usp10.dll), in a font
// of the system made at its em size: the text is composed (NFC), split into
// runs of one script and direction, the runs put in visual order, and each
// run shaped and placed by the font's own tables (its kerning included), so
// positions come in the asked font's units, as HarfBuzz gives them on Linux.
// A character the font lacks comes from the system's substitute fonts: the
// user-interface font and the fonts the system links to it and to the asked
// font, then any installed font that has it; a character no font has is the
// asked font's glyph 0.
#pragma once

#include <windows.h>
#include <usp10.h>

#include <memory>
#include <string>
#include <vector>

#include "glyphs/TextShaping.h"
#include "glyphs/win32/SystemFontOutlines.h"

// UTF-16 and back. A lone half of a UTF-16 pair, and a number that is no
// character, become U+FFFD.
std::wstring WideFromCharacters(const std::u32string& characters);
std::u32string CharactersFromWide(const std::wstring& text);

// The text composed (Unicode normalization form C) by the system's
// NormalizeString (kernel32 from Windows Vista on, normaliz.dll before);
// the text as it stands where the system has no such call.
std::wstring ComposeSystemText(const std::wstring& text);

// Whether the system has an outline font of this family name, in any of
// the names it answers to (a Japanese font also by its Japanese name). A
// name longer than a font's face holds is no font's name.
bool SystemHasOutlineFont(const std::wstring& face);

// The family of the system's user-interface font (the message font).
std::wstring SystemInterfaceFace();

class SystemTextFont : public TextFont {
public:
    SystemTextFont() = default;
    ~SystemTextFont() override;
    SystemTextFont(const SystemTextFont&) = delete;
    SystemTextFont& operator=(const SystemTextFont&) = delete;

    // Opens the font `wanted` describes (face, weight, italic; its height is
    // ignored). A family the system does not have (uninstalled since it was
    // chosen) is replaced by the user-interface font in the same weight and
    // style. False when the system gives no outline font at all.
    bool Open(const LOGFONTW& wanted);

    bool Shape(const std::u32string& text, ShapedText& shaped) override;
    bool GlyphOutline(std::uint32_t face, std::uint32_t glyphIndex, CharacterOutline& outline) override;
    FontMetrics Metrics() const override;

    // The family the system chose for face `face` (0 the asked font, then
    // the substitutes in the order they were first used); empty for none.
    std::wstring FaceName(std::uint32_t face) const;

    // One of the fonts, with Uniscribe's cache of it.
    struct Face {
        SystemFont font;
        SCRIPT_CACHE cache = nullptr;
        WORD missingGlyph = 0;  // the glyph Uniscribe gives a character the font lacks
        double scale = 1.0;     // the asked font's em over this font's em
        Face() = default;
        Face(const Face&) = delete;
        Face& operator=(const Face&) = delete;
        ~Face();
    };

private:
    Face* OpenedFace(std::size_t substitute);
    bool ShapeItem(const std::wstring& text, const SCRIPT_ITEM& item, const SCRIPT_ITEM& next, OPENTYPE_TAG script,
                   std::vector<ShapedGlyph>& glyphs);
    std::uint32_t SubstituteFor(const std::wstring& characters);

    LOGFONTW wanted_{};
    // faces_[0] is the asked font; the others are substitutes, numbered in
    // the order they were first needed, as ShapedGlyph::face names them.
    std::vector<std::unique_ptr<Face>> faces_;
    // The families tried for characters the font lacks, in order, and each
    // one's face once opened (0 before, -1 when it cannot be opened).
    std::vector<std::wstring> substituteFamilies_;
    std::vector<int> substituteFace_;
    bool everyFamilyListed_ = false;
    // Characters that no substitute has: not looked for again.
    std::u32string unavailable_;
};
