// Fuzz target: a whole settings file, read as the saver reads it when its
// window is created (key names, settings, the glyph list and the glyphs of
// the shown slots), the scene set up for a client size taken from the input,
// then a few frames composed through the recording surface and drawn again
// through the software surface into a small window picture. Whatever the
// file holds, every frame must draw inside its bitmap, give back every
// object it made, and change no pixel of the picture outside the bitmap's
// part in the window. (Writes are the profile-text target's business.)
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "render/FrameCompositor.h"
#include "render/RecordingSurface.h"
#include "render/SoftwareFrame.h"
#include "scene/ProjectFrame.h"
#include "scene/Random.h"
#include "scene/SceneRecords.h"
#include "scene/SetupScene.h"
#include "settings/GlyphDefinition.h"
#include "settings/Settings.h"

namespace {

using fuzzsupport::Fail;

constexpr int kFrames = 4;

// The client size comes from the input's last two bytes, so the fuzzer can
// steer it over 0..4095 in both directions (a preview of 0 x 0 included).
void ClientSizeFrom(const std::uint8_t* data, std::size_t size) {
    std::int32_t width = 800, height = 600;
    if (size >= 2) {
        const unsigned a = data[size - 2], b = data[size - 1];
        width = static_cast<std::int32_t>(a << 4 | (b & 15));
        height = static_cast<std::int32_t>(b << 4 | (a & 15));
    }
    sceneState.clientWidth = width;
    sceneState.clientHeight = height;
}

void CheckGlyphList() {
    if (glyphNameList.count < 0 || glyphNameList.count > kMaxListedGlyphs) Fail("glyph list count within 0..99");
    for (int i = 0; i < glyphNameList.count; ++i)
        if (std::memchr(glyphNameList.names[i], '\0', kGlyphNameLength + 1) == nullptr)
            Fail("every listed name ends within its 10 bytes");
}

// A frame draws only inside its bitmap (0..width, 0..height, edges
// included) and releases, within the frame, every object it made.
void CheckFrame(const RecordingSurface& surface, const FrameGeometry& frame) {
    if (surface.misuses() != 0) Fail("no object is deleted while selected, twice, or before it was made");
    if (surface.LiveObjects() != 0) Fail("every object made in a frame is deleted in it");
    for (const DrawCall& call : surface.calls()) {
        for (const SurfacePoint& point : call.points) {
            if (point.x < 0 || point.x > frame.width || point.y < 0 || point.y > frame.height)
                Fail("every point drawn lies inside the frame's bitmap",
                     "point (" + std::to_string(point.x) + ", " + std::to_string(point.y) + ") in a bitmap of " +
                         std::to_string(frame.width) + " x " + std::to_string(frame.height));
        }
    }
}

// The software frame, drawn into a 64 x 48 picture whatever the client size
// (a small picture keeps each run fast): only the part of the frame's
// bitmap inside it may change.
void CheckSoftwareFrame(const FrameGeometry& frame) {
    constexpr ColourRef kMarker = 0x123456;
    PixelBuffer window = MakePixelBuffer(64, 48, kMarker);
    DrawSoftwareFrame(frame, window, nullptr);
    const long long left = static_cast<long long>(frame.left) + frame.shownX;
    const long long top = static_cast<long long>(frame.top) + frame.shownY;
    for (int y = 0; y < window.height; ++y)
        for (int x = 0; x < window.width; ++x) {
            const bool inside = x >= left && x < left + frame.shownWidth && y >= top && y < top + frame.shownHeight;
            if (!inside && PixelAt(window, x, y) != kMarker)
                Fail("the software frame changes only its bitmap's part in the window",
                     "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")");
        }
}

void ComposeRecordedFrame(RecordingSurface& surface) {
    ProjectFrame();
    const FrameGeometry frame = PlanFrame();
    RebasePoints(frame);
    surface.Clear();
    if (ChooseBackground() == FrameBackground::Black) FillBlack(surface, frame.width, frame.height);
    DrawSolids(surface);
    CheckFrame(surface, frame);
    CheckSoftwareFrame(frame);
    AdvanceAnimation(frame);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzsupport::ServedSettings file(fuzzsupport::AsText(data, size));

    // Every run starts as a fresh saver process does: records zeroed and the
    // generator at its start state.
    settings = Settings{};
    std::memset(characterSlots, 0, sizeof characterSlots);
    sceneState = SceneState{};
    SeedRandom(1);

    LoadSettings();
    ListGlyphNames();
    CheckGlyphList();
    LoadGlyphs();
    ClientSizeFrom(data, size);
    SetupScene();
    SeedRandom(static_cast<std::uint32_t>(size));
    RecordingSurface surface;
    for (int frame = 0; frame < kFrames; ++frame) ComposeRecordedFrame(surface);

    return 0;
}
