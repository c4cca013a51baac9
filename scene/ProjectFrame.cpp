// Placeholder until the projection lands.
#include "scene/ProjectFrame.h"

void ProjectFrame() {}
