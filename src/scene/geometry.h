// The four models and the two tile grids, built into the scene once per run.
#pragma once

#include "scene/scene.h"

namespace tavrik {

// Uses scene.quarrySegmentCount, which must be chosen first.
void buildQuarryWedge(Scene& scene);
void buildCloudTiles(Scene& scene);
void buildGroundTiles(Scene& scene);
void buildHarrierModel(Scene& scene);

}  // namespace tavrik
