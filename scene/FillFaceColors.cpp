#include "scene/SceneSetupSteps.h"

namespace {

// Colour numbers 1..7 as the dialog stores them: red, green, blue, white,
// yellow, cyan, magenta. Each names which of red, green and blue are lit.
struct LitChannels {
    bool red, green, blue;
};

constexpr LitChannels kColourChannels[8] = {
    {false, false, false}, {true, false, false}, {false, true, false}, {false, false, true},
    {true, true, true},    {true, true, false},  {false, true, true},  {true, false, true},
};

// The front end face is lit fully, the side walls at 192 and the back end
// face at 128.
Rgb Shade(const LitChannels& lit, int level) {
    return Rgb{lit.red ? level : 0, lit.green ? level : 0, lit.blue ? level : 0};
}

}  // namespace

void FillFaceColors(FaceColors& colors, int colourNumber) {
    if (colourNumber < 1 || colourNumber > 7) return;
    const LitChannels& lit = kColourChannels[colourNumber];
    colors.front = Shade(lit, 255);
    colors.side = Shade(lit, 192);
    colors.back = Shade(lit, 128);
}
