#include "SetupCheck.h"

#include <cstdlib>

#include "scene/SceneRecords.h"
#include "scene/SetupScene.h"
#include "settings/GlyphDefinition.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

void UseSettingsFile(const std::string& text) {
    const std::string folder = testsupport::TemporaryFolder();
    setenv("KORAVEL_INI_DIR", folder.c_str(), 1);
    LoadKeyNames(testsupport::StringTableModule());
    testsupport::WriteFile(platform::ProfileFilePath(keyNames.fileName), text);
    LoadSettings();
}

std::string LoadAndSetUp(int number, int expectedPoints) {
    settings.OPTIONN = 1;
    settings.OPTIONA1 = number;
    characterSlots[1] = CharacterSlot{};
    LoadGlyphs();
    const ShownGlyph& glyph = characterSlots[1].glyph;
    const std::string name = "glyph " + std::to_string(number) + ": ";
    if (glyph.pointCount != expectedPoints)
        return name + "loaded " + std::to_string(glyph.pointCount) + " points, not " + std::to_string(expectedPoints);

    sceneState.clientWidth = 800;
    sceneState.clientHeight = 600;
    SetupScene();

    const int points = glyph.pointCount;
    for (int j = 1; j <= glyph.contourCount; ++j) {
        const int first = glyph.contourFirst[j];
        const int last = glyph.contourLast[j];
        const bool hole = glyph.holeFlag[j] != 0;
        double twiceArea = 0.0;
        for (int i = first; i <= last; ++i) {
            const int next = i == last ? first : i + 1;
            twiceArea += static_cast<double>(glyph.pointX[i]) * glyph.pointY[next] -
                         static_cast<double>(glyph.pointX[next]) * glyph.pointY[i];
            if (glyph.pointX[i] > glyph.pointX[first])
                return name + "contour " + std::to_string(j) + " does not start at its right-most point";
            const SideQuad& wall = characterSlots[1].sideQuad[i];
            if (wall.normalWinding != (hole ? 0 : 1))
                return name + "point " + std::to_string(i) + " has the wrong wall winding";
            for (int corner : wall.corner)
                if (corner < 1 || corner > 2 * points)
                    return name + "wall " + std::to_string(i) + " names vertex " + std::to_string(corner);
        }
        if (twiceArea >= 0.0) return name + "contour " + std::to_string(j) + " does not run clockwise after setup";
    }
    return {};
}
