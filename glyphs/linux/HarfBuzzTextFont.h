// The text's font on Linux: fontconfig finds the font a name asks for and
// the fonts that stand in for characters it lacks; glib composes the text
// (NFC); GNU FriBidi finds its right-to-left runs and orders them visually;
// HarfBuzz shapes each run with the font's own advances, kerning and mark
// positions (its OpenType functions at the font's em, so positions are
// unrounded font units); FreeType reads the outlines by glyph number.
#pragma once

#include <memory>
#include <string>

#include "glyphs/TextShaping.h"

class HarfBuzzTextFont : public TextFont {
public:
    // `name` is a fontconfig pattern ("DejaVu Sans:bold") or the path of a
    // font file; empty is fontconfig's sans-serif. What stands in for what
    // was asked (a file that cannot be used, a family fontconfig does not
    // know) is said through `report`, once.
    HarfBuzzTextFont(const std::string& name, void (*report)(const std::string& message));
    ~HarfBuzzTextFont() override;
    HarfBuzzTextFont(const HarfBuzzTextFont&) = delete;
    HarfBuzzTextFont& operator=(const HarfBuzzTextFont&) = delete;

    // False when no font could be opened at all.
    bool usable() const;

    bool Shape(const std::u32string& text, ShapedText& shaped) override;
    bool GlyphOutline(std::uint32_t face, std::uint32_t glyphIndex, CharacterOutline& outline) override;
    FontMetrics Metrics() const override;

    // The file of face `face`, for messages and tests; empty when none.
    std::string FaceFile(std::uint32_t face) const;

private:
    struct Fonts;
    std::unique_ptr<Fonts> fonts_;
};
