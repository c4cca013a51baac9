// Placeholder until scene setup lands: the scene stays as the process started.
#include "scene/SetupScene.h"

void SetupScene() {}
void PickBounceSpeed() {}
