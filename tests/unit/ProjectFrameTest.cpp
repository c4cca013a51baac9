#include <gtest/gtest.h>

#include <cmath>

#include "SceneTestSupport.h"
#include "scene/ProjectFrame.h"
#include "scene/SceneRecords.h"
#include "scene/SetupScene.h"
#include "settings/Settings.h"

namespace {

using scenetest::BoxGlyph;
using scenetest::FreshScene;
using scenetest::MakeGlyph;

// Depth d = HABA x SIZE = 30 throughout, and no perspective unless a test
// asks for it.
class Projection : public FreshScene {
protected:
    void SetUp() override {
        FreshScene::SetUp();
        settings.SIZE = settings.SIZEY = 10;
        settings.HABAJIDO = 0;
        settings.HABA = 3;
        settings.ENKIN = 0;
        settings.VIEW = 0;
    }
};

TEST_F(Projection, WithoutTurnTiltOrPerspectiveGivesTheSceneCoordinates) {
    ShowGlyph(BoxGlyph(), 2);
    SetupScene();
    characterSlots[1].projected.vertex[17].x = 99.5;
    ProjectFrame();
    for (int k = 1; k <= 2; ++k) {
        const CharacterSlot& slot = characterSlots[k];
        for (int j = 1; j <= 16; ++j) {
            const ProjectedPoint& point = slot.projected.vertex[j];
            const int i = j <= 8 ? j : j - 8;
            EXPECT_EQ(point.x, slot.glyph.pointX[i]) << "slot " << k << " vertex " << j;
            EXPECT_EQ(point.y, slot.glyph.pointY[i]) << "slot " << k << " vertex " << j;
            EXPECT_EQ(point.z, j <= 8 ? -30.0 : 30.0) << "slot " << k << " vertex " << j;
            EXPECT_EQ(point.px, slot.glyph.pointX[i]);
            EXPECT_EQ(point.py, slot.glyph.pointY[i]);
        }
    }
    EXPECT_EQ(characterSlots[1].projected.vertex[17].x, 99.5);  // beyond 2n: left alone
}

TEST_F(Projection, PerspectiveShrinksTheBackAndNoDepthMakesBothFacesOne) {
    settings.ENKIN = 15;
    ShowGlyph(BoxGlyph(), 2);
    SetupScene();
    sceneState.globalAngle = 30;
    ProjectFrame();
    for (int j = 1; j <= 8; ++j) {
        const ProjectedPoint& front = characterSlots[1].projected.vertex[j];
        const ProjectedPoint& back = characterSlots[1].projected.vertex[j + 8];
        EXPECT_LT(front.z, back.z) << j;
        EXPECT_LT(std::fabs(back.y), std::fabs(front.y)) << j;
    }

    SetUp();
    settings.ENKIN = 15;
    settings.HABA = 0;
    ShowGlyph(BoxGlyph(), 2);
    SetupScene();
    sceneState.globalAngle = 30;
    ProjectFrame();
    for (int k = 1; k <= 2; ++k)
        for (int j = 1; j <= 8; ++j) {
            const ProjectedPoint& front = characterSlots[k].projected.vertex[j];
            const ProjectedPoint& back = characterSlots[k].projected.vertex[j + 8];
            EXPECT_EQ(front.x, back.x);
            EXPECT_EQ(front.y, back.y);
            EXPECT_EQ(front.z, back.z);
        }
}

TEST_F(Projection, TiltsOnlyWhenTheSceneCentreLeavesTheMiddleRow) {
    settings.VIEW = 3;
    sceneState.clientHeight = 601;  // middle row 300
    ShowGlyph(MakeGlyph({{0, 100}}, {{1, 1}}), 1);
    SetupScene();
    ASSERT_EQ(sceneState.scenePosY, 300);
    ProjectFrame();
    // Vertex 1 is (0, 100) at depth -30, vertex 2 the same point at 30.
    EXPECT_EQ(characterSlots[1].projected.vertex[1].y, 100.0);
    EXPECT_EQ(characterSlots[1].projected.vertex[1].z, -30.0);

    // At the top edge the view tilts by -30 degrees, at the bottom by +30.
    sceneState.clientHeight = 600;
    sceneState.scenePosY = 0;
    ProjectFrame();
    EXPECT_NEAR(characterSlots[1].projected.vertex[1].y, 101.60254, 1e-4);
    EXPECT_NEAR(characterSlots[1].projected.vertex[1].z, 24.01924, 1e-4);
    EXPECT_NEAR(characterSlots[1].projected.vertex[2].y, 71.60254, 1e-4);
    sceneState.scenePosY = 600;
    ProjectFrame();
    EXPECT_NEAR(characterSlots[1].projected.vertex[1].y, 71.60254, 1e-4);
    EXPECT_NEAR(characterSlots[1].projected.vertex[1].z, -75.98076, 1e-4);
}

TEST_F(Projection, EdgeOnTheGlyphsTurnAboutTheirOwnCentresOrAboutTheRow) {
    // At 90 degrees x is -Z about the turning line: the front face 30 to
    // one side of it, the back 30 to the other. The program's pi leaves a
    // cosine of about 2e-7.
    for (int ownCentres : {0, 1}) {
        SetUp();
        settings.KAITEN = ownCentres;
        ShowGlyph(BoxGlyph(), 3);
        SetupScene();
        sceneState.globalAngle = 90;
        ProjectFrame();
        for (int k = 1; k <= 3; ++k) {
            const CharacterSlot& slot = characterSlots[k];
            const double line = ownCentres ? slot.centerX : 0;
            for (int j = 1; j <= 16; ++j) {
                const double z = j <= 8 ? -30.0 : 30.0;
                const int i = j <= 8 ? j : j - 8;
                EXPECT_NEAR(slot.projected.vertex[j].x, line - z, 1e-3) << "KAITEN " << ownCentres << " slot " << k;
                EXPECT_NEAR(slot.projected.vertex[j].z, slot.glyph.pointX[i] - line, 1e-3);
            }
        }
    }
}

TEST_F(Projection, SpinsOnlyTheSlotsWithTheirOwnSpinOn) {
    ShowGlyph(MakeGlyph({{10, 0}, {0, -10}, {-10, 10}}, {{1, 3}}), 2);
    settings.ZKAITEN1 = 1;
    settings.ZKAITEN2 = 0;
    SetupScene();
    characterSlots[1].ownAngle = characterSlots[2].ownAngle = 90;
    ProjectFrame();
    // Slot 1's point 10 right of its centre (-50) turns to 10 above it.
    EXPECT_NEAR(characterSlots[1].projected.vertex[1].x, -50.0, 1e-4);
    EXPECT_NEAR(characterSlots[1].projected.vertex[1].y, 10.0, 1e-4);
    EXPECT_EQ(characterSlots[2].projected.vertex[1].x, 60.0);
    EXPECT_EQ(characterSlots[2].projected.vertex[1].y, 0.0);
}

TEST_F(Projection, AnEmptySlotKeepsItsLastTable) {
    ShowGlyph(BoxGlyph(), 1);
    characterSlots[3].glyph = BoxGlyph();
    settings.OPTIONN = 3;
    SetupScene();
    characterSlots[2].projected.vertex[1] = ProjectedPoint{1.5, 2.5, 3.5, 4, 5};
    characterSlots[4].projected.vertex[1] = ProjectedPoint{1.5, 2.5, 3.5, 4, 5};
    ProjectFrame();
    for (int k : {2, 4}) {
        const ProjectedPoint& kept = characterSlots[k].projected.vertex[1];
        EXPECT_EQ(kept.x, 1.5);
        EXPECT_EQ(kept.z, 3.5);
        EXPECT_EQ(kept.px, 4);
        EXPECT_EQ(kept.py, 5);
    }
    EXPECT_NE(characterSlots[3].projected.vertex[1].x, 0.0);
}

TEST_F(Projection, TruncatesTowardZeroAndNeverMirrorsAPointAtTheViewer) {
    ShowGlyph(MakeGlyph({{-27, -27}}, {{1, 1}}), 1);
    SetupScene();
    // The back vertex divides by 1 + 0.3 x 30 = 10; the front one would
    // divide by 1 - 0.3 x 30 = -8, which would put it behind the viewer.
    sceneState.perspectiveFactor = 0.3;
    ProjectFrame();
    const ProjectedPoint& back = characterSlots[1].projected.vertex[2];
    EXPECT_NEAR(back.x, -2.7, 1e-12);
    EXPECT_EQ(back.px, -2);
    EXPECT_EQ(back.py, -2);
    const ProjectedPoint& front = characterSlots[1].projected.vertex[1];
    EXPECT_NEAR(front.x, -2700.0, 1e-6);
    EXPECT_NEAR(front.y, -2700.0, 1e-6);
    EXPECT_LT(front.z, back.z);
    EXPECT_EQ(front.px, static_cast<int>(front.x));
}

}  // namespace
