// koravel-check-glyphs: reports every glyph of a KORAVEL.ini that breaks the
// glyph format or the storage limits, with its key, name and reason.
//
//   koravel-check-glyphs FILE
//
// Exit status 0 when every glyph is sound, 1 when any is broken, 2 when the
// file cannot be read.
#include <cstdio>
#include <string>

#include "tools/GlyphCheck.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: koravel-check-glyphs FILE\n", stderr);
        return 2;
    }
    std::FILE* stream = std::fopen(argv[1], "rb");
    if (!stream) {
        std::fprintf(stderr, "koravel-check-glyphs: cannot read %s\n", argv[1]);
        return 2;
    }
    std::string text;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, stream)) > 0;) text.append(chunk, got);
    std::fclose(stream);

    int listed = 0;
    const std::vector<GlyphProblem> problems = CheckGlyphFile(text, &listed);
    for (const GlyphProblem& problem : problems) {
        if (problem.name.empty())
            std::printf("%s: %s\n", problem.key.c_str(), problem.reason.c_str());
        else
            std::printf("%s (%s): %s\n", problem.key.c_str(), problem.name.c_str(), problem.reason.c_str());
    }
    std::printf("%s: %d glyphs listed, %zu problems\n", argv[1], listed, problems.size());
    return problems.empty() ? 0 : 1;
}
