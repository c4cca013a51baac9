#include "scene/SceneRecords.h"

CharacterSlot characterSlots[kMaxSlots + 1];
SceneState sceneState;
TextRow textRow;
