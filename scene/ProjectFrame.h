#pragma once

// Turns every vertex of slots 1..N into ProjectedPoints for this frame.
void ProjectFrame();
