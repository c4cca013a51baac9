// Scene setup runs once per saver process, when the saver window is created:
// after the settings and glyphs are loaded and the client size is stored,
// before the random generator is seeded and before the first frame.
#include "scene/SetupScene.h"

#include <algorithm>

#include <cstdint>

#include "scene/SceneArithmetic.h"
#include "scene/SceneRecords.h"
#include "scene/SceneSetupSteps.h"
#include "settings/Settings.h"

namespace {

void ResetSceneValues() {
    sceneState.prevExtent = Extent{0, 0, 0, 0};
    sceneState.globalAngle = 0;
    sceneState.perspectiveFactor = settings.ENKIN / 10000.0;
    // Automatic depth draws every solid three depth units deep.
    if (settings.HABAJIDO != 0) settings.HABA = 3;
}

// Half the row's width in scene units: N cells of 10 x SIZEY, or, for a
// text, the width its font lays it out in.
std::int64_t RowHalfWidth(int shown) {
    if (textRow.used != 0) return static_cast<std::int64_t>(textRow.width) * settings.SIZEY / 20;
    return static_cast<std::int64_t>(shown) * 5 * settings.SIZEY;
}

// Moving mode's limits: they keep the row inside the window where it fits,
// and centre it where it does not.
void SetMovingLimits(int shown) {
    const std::int32_t width = sceneState.clientWidth;
    const std::int32_t height = sceneState.clientHeight;
    const std::int64_t halfWidth = RowHalfWidth(shown);
    if (halfWidth > width / 2) {
        sceneState.minPosX = sceneState.maxPosX = width / 2;
    } else {
        sceneState.minPosX = static_cast<std::int32_t>(halfWidth);
        sceneState.maxPosX = SaturateToInt32(width - halfWidth);
    }
    const std::int64_t halfHeight = 12 * static_cast<std::int64_t>(settings.SIZE);
    if (halfHeight > height / 2) {
        sceneState.minPosY = sceneState.maxPosY = height / 2;
    } else {
        sceneState.minPosY = static_cast<std::int32_t>(halfHeight);
        sceneState.maxPosY = SaturateToInt32(height - halfHeight);
    }
}

// Moving mode: the limits, and a start speed and direction from three
// draws. The generator is not yet seeded here, so every start is alike.
void StartMotion(int shown) {
    sceneState.scenePosX = sceneState.clientWidth / 2;
    sceneState.scenePosY = sceneState.clientHeight / 2;
    if (settings.OPTIONP != 2) {
        sceneState.velocityX = sceneState.velocityY = 0;
        sceneState.lastMoveX = sceneState.lastMoveY = 0;
        return;
    }

    SetMovingLimits(shown);
    PickBounceSpeed();
    std::int32_t speedX = sceneState.bounceSpeed;
    PickBounceSpeed();
    std::int32_t speedY = sceneState.bounceSpeed;
    PickBounceSpeed();
    // bounceSpeed is SIZEIDO + 1 or more, so its magnitude never overflows.
    if (speedX < 0) speedX = -speedX;
    if (speedY < 0) speedY = -speedY;
    switch (sceneState.speedClass) {
        case 1: sceneState.velocityX = -speedX; sceneState.velocityY = -speedY; break;  // up and left
        case 2: sceneState.velocityX = speedX; sceneState.velocityY = -speedY; break;   // up and right
        case 3: sceneState.velocityX = speedX; sceneState.velocityY = speedY; break;    // down and right
        default: sceneState.velocityX = -speedX; sceneState.velocityY = speedY; break;  // down and left
    }
    sceneState.lastMoveX = sceneState.velocityX;
    sceneState.lastMoveY = sceneState.velocityY;
}

// Scales a slot's outline into scene units about the slot's centre, which
// lies `offset` scene units right of the row's centre; a glyph of finer
// units keeps them (the projection divides them out). Divisions truncate
// toward zero; results beyond the 32-bit range saturate.
void PlaceSlot(CharacterSlot& slot, std::int64_t offset) {
    ShownGlyph& glyph = slot.glyph;
    const std::int64_t subunits = std::max<std::int64_t>(glyph.subunits, 1);
    for (int i = 1; i <= UsablePointCount(glyph); ++i) {
        glyph.pointX[i] =
            SaturateToInt32(static_cast<std::int64_t>(glyph.pointX[i]) * settings.SIZEY / 10 + offset * subunits);
        glyph.pointY[i] = SaturateToInt32(static_cast<std::int64_t>(glyph.pointY[i]) * settings.SIZE / 10);
    }
    slot.centerX = SaturateToInt32(offset);
}

// The slots side by side, centred on the scene origin: 10 x SIZEY apart,
// or where the font lays a text's clusters out.
void LayOutRow(int shown) {
    if (textRow.used != 0) {
        for (int k = 1; k <= shown; ++k)
            PlaceSlot(characterSlots[k], static_cast<std::int64_t>(textRow.centerX[k]) * settings.SIZEY / 10);
        return;
    }
    std::int64_t offset = -5 * static_cast<std::int64_t>(settings.SIZEY) * (shown - 1);
    for (int k = 1; k <= shown; ++k) {
        PlaceSlot(characterSlots[k], offset);
        offset += 10 * static_cast<std::int64_t>(settings.SIZEY);
    }
}

// With one colour for all (COLORS 0) every shown slot takes COLOR, in
// memory only.
void ColourSlot(int k) {
    if (settings.COLORS == 0) settings.*slotColourField[k] = settings.COLOR;
    FillFaceColors(characterSlots[k].faceColors, settings.*slotColourField[k]);
}

}  // namespace

void SetupScene() {
    const int shown = ShownSlotCount();
    for (int k = 1; k <= shown; ++k) NormalizeContours(characterSlots[k].glyph);
    ResetSceneValues();
    StartMotion(shown);
    LayOutRow(shown);
    for (int k = 1; k <= shown; ++k) BuildSideWalls(characterSlots[k]);
    for (int k = 1; k <= shown; ++k) ColourSlot(k);
}

void LayOutNewSlots(const bool (&placed)[kMaxSlots + 1]) {
    const int shown = ShownSlotCount();
    for (int k = 1; k <= shown; ++k) {
        if (!placed[k]) continue;
        CharacterSlot& slot = characterSlots[k];
        NormalizeContours(slot.glyph);
        const std::int64_t offset =
            textRow.used != 0 ? static_cast<std::int64_t>(textRow.centerX[k]) * settings.SIZEY / 10 : 0;
        PlaceSlot(slot, offset);
        BuildSideWalls(slot);
        ColourSlot(k);
    }
    if (settings.OPTIONP == 2) SetMovingLimits(shown);
}
