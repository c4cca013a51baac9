// Once per frame, before anything is drawn: every vertex of the shown solids
// is spun in its slot's plane, turned with the row about the vertical axis,
// tilted by the view and divided for perspective. The angles and position
// are read as they stand at the start of the frame.
#include "scene/ProjectFrame.h"

#include <cmath>
#include <cstdint>

#include "scene/SceneArithmetic.h"
#include "scene/SceneRecords.h"
#include "settings/Settings.h"

namespace {

// Degrees to radians with the program's own value of pi.
double Radians(std::int32_t degrees) { return degrees * 3.141593 / 180.0; }

// The smallest perspective divisor used. A vertex at or behind the viewer
// (divisor zero or negative, possible only with a strong perspective and a
// large scene) is drawn as if just in front of the viewer: enlarged at most
// a hundred times and never mirrored through the eye.
constexpr double kSmallestDivisor = 0.01;

}  // namespace

void ProjectFrame() {
    const double globalCos = std::cos(Radians(sceneState.globalAngle));
    const double globalSin = std::sin(Radians(sceneState.globalAngle));

    // The tilt grows from nothing while the scene centre is on the middle row
    // to VIEW x 10 degrees at the top and bottom edges. A window without
    // height has no middle row and gets no tilt.
    const bool tilted = settings.VIEW != 0 && sceneState.clientHeight != 0;
    double tiltCos = 1.0, tiltSin = 0.0;
    if (tilted) {
        const std::int32_t middleRow = sceneState.clientHeight / 2;
        const double tilt = (sceneState.scenePosY - middleRow) * (settings.VIEW * 10.0) /
                            (sceneState.clientHeight * 0.5) * 3.141593 / 180.0;
        tiltCos = std::cos(tilt);
        tiltSin = std::sin(tilt);
    }

    const double depth = static_cast<double>(static_cast<std::int64_t>(settings.HABA) * settings.SIZE);
    const int shown = ShownSlotCount();
    for (int k = 1; k <= shown; ++k) {
        CharacterSlot& slot = characterSlots[k];
        const ShownGlyph& glyph = slot.glyph;
        int pointCount = glyph.pointCount;
        if (pointCount > kShownGlyphPoints) pointCount = kShownGlyphPoints;
        if (pointCount <= 0) continue;  // an empty slot keeps its last table

        const bool ownSpin = settings.*ownSpinField[k] != 0;
        const double ownCos = std::cos(Radians(slot.ownAngle));
        const double ownSin = std::sin(Radians(slot.ownAngle));
        const double center = slot.centerX;
        // Dividing by 1 leaves a whole-unit glyph's numbers exactly as they are.
        const double unit = glyph.subunits > 1 ? glyph.subunits : 1;

        for (int j = 1; j <= 2 * pointCount; ++j) {
            const int point = j <= pointCount ? j : j - pointCount;
            double x = glyph.pointX[point] / unit;
            double y = glyph.pointY[point] / unit;
            const double z = j <= pointCount ? -depth : depth;

            // The glyph turns in its own plane about (centerX, 0),
            // counter-clockwise with y up.
            if (ownSpin) {
                const double u = x - center;
                const double turnedX = u * ownCos - y * ownSin + center;
                const double turnedY = y * ownCos + u * ownSin;
                x = turnedX;
                y = turnedY;
            }
            // Each glyph turns about its own centre instead of the row's.
            if (settings.KAITEN != 0) x -= center;

            const double x1 = x * globalCos - z * globalSin;
            const double z1 = x * globalSin + z * globalCos;
            double y2 = y;
            double z2 = z1;
            if (tilted) {
                y2 = y * tiltCos + z1 * tiltSin;
                z2 = z1 * tiltCos - y * tiltSin;
            }

            double divisor = 1.0 + sceneState.perspectiveFactor * z2;
            if (!(divisor >= kSmallestDivisor)) divisor = kSmallestDivisor;
            ProjectedPoint& projected = slot.projected.vertex[j];
            projected.x = x1 / divisor;
            projected.y = y2 / divisor;
            projected.z = z2 / divisor;
            // The centre goes back on after the division, so the slot's place
            // along the row is not foreshortened.
            if (settings.KAITEN != 0) projected.x += center;
            projected.px = TruncateToInt32(projected.x);
            projected.py = TruncateToInt32(projected.y);
        }
    }
}
