// koravel-make-glyphs: ZAHYO lines for KORAVEL.ini from a TrueType or
// OpenType font.
//
//   koravel-make-glyphs [options] FONT ITEM...
//
// Each ITEM is either text, every character of which becomes one glyph named
// by itself, or NAME=C, one glyph named NAME from the character C (written
// as itself or as U+hex). The lines go to standard output, numbered from
// --first on; every character that cannot be made to fit is reported on
// standard error with the reason, and the exit status is then 1.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "glyphs/linux/FontGlyphs.h"
#include "tools/GlyphRequests.h"
#include "glyphs/GlyphValue.h"

namespace {

void Usage() {
    std::fputs(
        "usage: koravel-make-glyphs [options] FONT ITEM...\n"
        "  ITEM         text: one glyph per character, named by the character\n"
        "               NAME=C: one glyph named NAME from character C (C or U+hex)\n"
        "  --first N    number of the first key, ZAHYO<N> (default 1)\n"
        "  --height H   height of the capitals in design units (default 80)\n"
        "  --width W    widest glyph in design units, at most 100 (default 96)\n"
        "  --face I     face I of a font collection (default 0)\n"
        "  --crossings  write glyphs whose contours overlap or cross all the same\n"
        "               (the saver shows every overlap as a hole)\n"
        "  --section    write the [MOJI ZAHYO] section line first\n"
        "  --verbose    report points, contours, holes and shape error of each glyph\n",
        stderr);
}

}  // namespace

int main(int argc, char** argv) {
    MakeOptions options;
    long first = 1;
    long face = 0;
    bool section = false;
    bool verbose = false;
    std::vector<std::string> arguments;
    for (int a = 1; a < argc; ++a) {
        const std::string argument = argv[a];
        auto value = [&](double& into) {
            if (a + 1 >= argc) return false;
            char* end = nullptr;
            into = std::strtod(argv[++a], &end);
            return *end == '\0';
        };
        double number = 0;
        if (argument == "--first") {
            if (!value(number) || number < 1 || number > 999) return Usage(), 2;
            first = static_cast<long>(number);
        } else if (argument == "--height") {
            if (!value(number) || number <= 0 || number > 1000) return Usage(), 2;
            options.capitalHeight = number;
        } else if (argument == "--width") {
            if (!value(number) || number <= 0 || number > 100) return Usage(), 2;
            options.maximumWidth = number;
        } else if (argument == "--face") {
            if (!value(number) || number < 0) return Usage(), 2;
            face = static_cast<long>(number);
        } else if (argument == "--crossings") {
            options.allowCrossings = true;
        } else if (argument == "--section") {
            section = true;
        } else if (argument == "--verbose") {
            verbose = true;
        } else if (argument == "--help" || argument == "-h") {
            Usage();
            return 0;
        } else {
            arguments.push_back(argument);
        }
    }
    if (arguments.size() < 2) return Usage(), 2;

    GlyphFont font;
    std::string error;
    if (!font.Open(arguments[0], error, face)) {
        std::fprintf(stderr, "koravel-make-glyphs: %s\n", error.c_str());
        return 2;
    }
    std::vector<GlyphRequest> requests;
    for (std::size_t i = 1; i < arguments.size(); ++i) ParseGlyphRequest(arguments[i], requests);

    if (section) std::puts("[MOJI ZAHYO]");
    long number = first;
    int failed = 0;
    for (const GlyphRequest& request : requests) {
        if (std::string problem = GlyphNameProblem(request.name); !problem.empty()) {
            std::fprintf(stderr, "koravel-make-glyphs: %s: %s\n", request.name.c_str(), problem.c_str());
            ++failed;
            continue;
        }
        if (number > 999) {
            std::fprintf(stderr, "koravel-make-glyphs: %s: no key left; glyph numbers end at 999\n",
                         request.name.c_str());
            ++failed;
            continue;
        }
        const MadeGlyph made = font.Make(request.character, options);
        if (!made.fit.fitted) {
            std::fprintf(stderr, "koravel-make-glyphs: %s (U+%04X) cannot be made: %s\n", request.name.c_str(),
                         static_cast<unsigned>(request.character), made.fit.reason.c_str());
            ++failed;
            continue;
        }
        if (number == kMaxListedGlyphs + 1)
            std::fprintf(stderr, "koravel-make-glyphs: note: ZAHYO%ld and later are beyond the %d glyphs the dialog lists\n",
                         number, kMaxListedGlyphs);
        if (made.narrowed)
            std::fprintf(stderr, "koravel-make-glyphs: note: %s was narrowed to fit the cell\n", request.name.c_str());
        if (!made.fit.dropped.empty())
            std::fprintf(stderr, "koravel-make-glyphs: note: %s: %s\n", request.name.c_str(), made.fit.dropped.c_str());
        const GlyphDefinition& glyph = made.fit.glyph;
        if (verbose) {
            int holes = 0;
            for (int h = 1; h <= kMaxHoles; ++h) holes += glyph.holeStart[h] != 0;
            std::fprintf(stderr, "ZAHYO%ld %s: %d points, %d contours, %d holes, shape error %.2f\n", number,
                         request.name.c_str(), glyph.pointCount, glyph.contourCount, holes, made.fit.shapeError);
        }
        std::printf("ZAHYO%ld=%s\n", number, FormatGlyphValue(request.name, glyph).c_str());
        ++number;
    }
    return failed > 0 ? 1 : 0;
}
