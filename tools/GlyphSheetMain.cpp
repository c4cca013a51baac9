// koravel-glyph-sheet: draws every listed glyph of a KORAVEL.ini into one PNG.
//
//   koravel-glyph-sheet FILE OUTPUT.png
#include <cstdio>
#include <string>

#include "tools/ContactSheet.h"
#include "tools/GlyphCheck.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: koravel-glyph-sheet FILE OUTPUT.png\n", stderr);
        return 2;
    }
    std::FILE* stream = std::fopen(argv[1], "rb");
    if (!stream) {
        std::fprintf(stderr, "koravel-glyph-sheet: cannot read %s\n", argv[1]);
        return 2;
    }
    std::string text;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, stream)) > 0;) text.append(chunk, got);
    std::fclose(stream);

    std::vector<SheetGlyph> glyphs;
    for (const ListedGlyph& listed : ListedGlyphs(text)) {
        SheetGlyph sheet{listed.number, {}};
        if (!ParseGlyphValue(listed.value, sheet.glyph))
            std::fprintf(stderr, "koravel-glyph-sheet: ZAHYO%d (%s) does not load; its cell stays empty\n", listed.number,
                         listed.name.c_str());
        glyphs.push_back(sheet);
    }
    if (!WritePng(argv[2], RenderContactSheet(glyphs))) {
        std::fprintf(stderr, "koravel-glyph-sheet: cannot write %s\n", argv[2]);
        return 2;
    }
    std::printf("%s: %zu glyphs\n", argv[2], glyphs.size());
    return 0;
}
