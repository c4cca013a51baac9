#include "render/FrameCompositor.h"

#include <algorithm>

#include "render/RenderEndFace.h"
#include "render/RenderSolid.h"
#include "scene/SceneArithmetic.h"
#include "scene/SetupScene.h"
#include "settings/Settings.h"

namespace {

int PointCountOf(int slot) { return std::clamp(characterSlots[slot].glyph.pointCount, 0, kShownGlyphPoints); }

// Steps of 360 or more, or below 0, let an angle grow without bound; one
// that would leave 32 bits is taken modulo 360 instead of wrapping.
void AdvanceAngle(std::int32_t& angle, std::int32_t step) {
    std::int64_t advanced = static_cast<std::int64_t>(angle) + step;
    if (advanced >= 360) advanced -= 360;
    if (advanced != SaturateToInt32(advanced)) advanced %= 360;
    angle = static_cast<std::int32_t>(advanced);
}

}  // namespace

Extent CurrentExtremes() {
    const ProjectedPoint& first = characterSlots[1].projected.vertex[1];
    Extent e{first.px, first.py, first.px, first.py};
    for (int i = 1; i <= ShownSlotCount(); ++i) {
        const int vertices = 2 * PointCountOf(i);
        for (int j = 1; j <= vertices; ++j) {
            const ProjectedPoint& v = characterSlots[i].projected.vertex[j];
            e.minX = std::min(e.minX, v.px);
            e.maxX = std::max(e.maxX, v.px);
            e.minY = std::min(e.minY, v.py);
            e.maxY = std::max(e.maxY, v.py);
        }
    }
    return e;
}

FrameGeometry PlanFrame() {
    const int w = sceneState.clientWidth;
    const int h = sceneState.clientHeight;
    FrameGeometry frame{};
    frame.current = CurrentExtremes();

    // Last frame's extremes were taken about last frame's centre, which has
    // since moved by the last move (window pixels, y down). Here and below,
    // points pinned at the 32-bit limits keep the results at those limits.
    Extent& previous = sceneState.prevExtent;
    previous.minX = SaturateToInt32(static_cast<std::int64_t>(previous.minX) - sceneState.lastMoveX);
    previous.maxX = SaturateToInt32(static_cast<std::int64_t>(previous.maxX) - sceneState.lastMoveX);
    previous.minY = SaturateToInt32(static_cast<std::int64_t>(previous.minY) + sceneState.lastMoveY);
    previous.maxY = SaturateToInt32(static_cast<std::int64_t>(previous.maxY) + sceneState.lastMoveY);

    Extent& u = frame.cover;
    u.minX = std::min(frame.current.minX, previous.minX);
    u.minY = std::min(frame.current.minY, previous.minY);
    u.maxX = std::max(frame.current.maxX, previous.maxX);
    u.maxY = std::max(frame.current.maxY, previous.maxY);

    // Only the right and top extents are tested; past half the window the
    // rectangle spans the whole width (or height) about the scene centre.
    if (u.maxX > w / 2) {
        u.maxX = w / 2;
        u.minX = -(w / 2);
    }
    if (u.maxY > h / 2) {
        u.maxY = h / 2;
        u.minY = -(h / 2);
    }

    // The scene centre sits offX pixels right of the bitmap's left edge and
    // offY pixels below its top edge, so the left-most and top-most points
    // land on column 0 and row 0. For a figure wholly right of the centre or
    // wholly below it these offsets are negative: the centre lies outside
    // the bitmap, which still covers exactly the figure.
    frame.offX = SaturateToInt32(-static_cast<std::int64_t>(u.minX));
    frame.offY = u.maxY;
    frame.width = SaturateToInt32(static_cast<std::int64_t>(u.maxX) - u.minX + 1);
    frame.height = SaturateToInt32(static_cast<std::int64_t>(u.maxY) - u.minY + 1);
    frame.left = SaturateToInt32(static_cast<std::int64_t>(sceneState.scenePosX) - frame.offX);
    frame.top = SaturateToInt32(static_cast<std::int64_t>(sceneState.scenePosY) - frame.offY);

    // The bitmap's columns from -left up to w - left (and rows likewise)
    // land in the window; the rest would be drawn only to be cut off by the
    // transfer. A figure many windows wide keeps a bitmap of window size.
    const auto shown = [](int bitmapSize, int place, int windowSize, int& from, int& size) {
        const std::int64_t first = std::max<std::int64_t>(0, -static_cast<std::int64_t>(place));
        const std::int64_t last = std::min<std::int64_t>(bitmapSize, static_cast<std::int64_t>(windowSize) - place);
        from = static_cast<int>(std::min<std::int64_t>(first, std::max(bitmapSize, 0)));
        size = static_cast<int>(std::max<std::int64_t>(0, last - first));
    };
    shown(frame.width, frame.left, w, frame.shownX, frame.shownWidth);
    shown(frame.height, frame.top, h, frame.shownY, frame.shownHeight);
    return frame;
}

void RebasePoints(const FrameGeometry& frame) {
    for (int i = 1; i <= ShownSlotCount(); ++i) {
        const int vertices = 2 * PointCountOf(i);
        for (int j = 1; j <= vertices; ++j) {
            ProjectedPoint& v = characterSlots[i].projected.vertex[j];
            const std::int64_t x = static_cast<std::int64_t>(v.px) + frame.offX;
            const std::int64_t y = static_cast<std::int64_t>(frame.offY) - v.py;
            v.px = static_cast<std::int32_t>(std::clamp<std::int64_t>(x, 0, std::max(frame.width, 0)));
            v.py = static_cast<std::int32_t>(std::clamp<std::int64_t>(y, 0, std::max(frame.height, 0)));
        }
    }
}

FrameBackground ChooseBackground() {
    if (settings.ZANZOU == 0 && settings.BKMODE == 0) return FrameBackground::DesktopCopy;
    if (settings.ZANZOU == 0 && settings.BKMODE == 1) return FrameBackground::Black;
    return FrameBackground::Screen;
}

void FillBlack(DrawingSurface& surface, int width, int height) {
    const SurfacePoint corner[4] = {{0, 0}, {width, 0}, {width, height}, {0, height}};
    OwnedObject brush(surface, surface.CreateSolidBrush(0));
    SelectedObject selected(surface, brush.get());
    surface.SetPolyFillMode(kFillWinding);
    surface.Polygon(corner, 4);
}

int SlotDrawOrder(int order[kMaxSlots]) {
    const int n = ShownSlotCount();
    const bool farEndFirst = (sceneState.globalAngle / 180) % 2 == 0;
    for (int i = 0; i < n; ++i) order[i] = farEndFirst ? n - i : i + 1;
    return n;
}

void DrawSolids(DrawingSurface& surface) {
    int order[kMaxSlots];
    const int count = SlotDrawOrder(order);
    for (int i = 0; i < count; ++i) {
        sceneState.currentSlot = order[i];
        RenderSolid(surface);
    }
    for (int i = 0; i < count; ++i) {
        sceneState.currentSlot = order[i];
        RenderEndFace(surface);
    }
}

void AdvanceAnimation(const FrameGeometry& frame) {
    AdvanceAngle(sceneState.globalAngle, settings.STEPRAG);
    for (int k = 1; k <= kMaxSlots; ++k) AdvanceAngle(characterSlots[k].ownAngle, settings.*ownStepField[k]);

    if (settings.OPTIONP == 2) {
        const int w = sceneState.clientWidth;
        const int h = sceneState.clientHeight;
        // The group holds still along an axis while the covering rectangle
        // already reaches half the window on that side. The proposal is
        // worked out in 64 bits; the bounces bring it back to the limits.
        std::int64_t x = sceneState.scenePosX;
        std::int64_t y = sceneState.scenePosY;
        if (frame.cover.maxX < w / 2) x += sceneState.velocityX;
        if (frame.cover.maxY < h / 2) y += sceneState.velocityY;
        if (x >= sceneState.maxPosX) {
            PickBounceSpeed();
            x = sceneState.maxPosX;
            sceneState.velocityX = -sceneState.bounceSpeed;
        }
        if (x <= sceneState.minPosX) {
            PickBounceSpeed();
            x = sceneState.minPosX;
            sceneState.velocityX = sceneState.bounceSpeed;
        }
        if (y >= sceneState.maxPosY) {
            PickBounceSpeed();
            y = sceneState.maxPosY;
            sceneState.velocityY = -sceneState.bounceSpeed;
        }
        if (y <= sceneState.minPosY) {
            PickBounceSpeed();
            y = sceneState.minPosY;
            sceneState.velocityY = sceneState.bounceSpeed;
        }
        sceneState.lastMoveX = SaturateToInt32(x - sceneState.scenePosX);
        sceneState.lastMoveY = SaturateToInt32(y - sceneState.scenePosY);
        sceneState.scenePosX = SaturateToInt32(x);
        sceneState.scenePosY = SaturateToInt32(y);
    }

    sceneState.prevExtent = frame.current;
}
