#include <cstdint>

#include "scene/Random.h"
#include "scene/SceneRecords.h"
#include "scene/SetupScene.h"
#include "settings/Settings.h"

void PickBounceSpeed() {
    // Four classes of equal chance, from the top two bits of the 15-bit draw.
    const int r = NextRandom();
    int k;
    if (r >= 0x6000) {
        k = 1;
    } else if (r >= 0x4000) {
        k = 2;
    } else if (r >= 0x2000) {
        k = 3;
    } else {
        k = 4;
    }
    // SIZEIDO is taken as read; a value near the top of the 32-bit range
    // saturates instead of wrapping into a negative speed.
    const std::int64_t speed = static_cast<std::int64_t>(settings.SIZEIDO) + k;
    sceneState.bounceSpeed = speed > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(speed);
    sceneState.speedClass = k;
}
