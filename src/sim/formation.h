// The pull of a formation: each harrier is drawn towards its place around the leader,
// harrier 0, eased in over the first ten seconds of the run.
#pragma once

#include "config/settings.h"
#include "math/vector.h"
#include "scene/scene.h"

namespace tavrik {

inline constexpr uint32_t kFormationEaseInMs = 10000;

// True for the two formations; any other stored value flies free.
inline bool fliesFormation(int32_t formation) {
  return formation == kFormationTriangle || formation == kFormationLine;
}

// Where harrier i belongs in the formation, around the leader's record as it stands.
Vec3 formationSlot(const Scene& scene, const Settings& settings, int count, int i);

// The acceleration towards harrier i's place, the first term of its step. count is the number
// of live harriers. Zero in free flight and for the leader of the line formation.
Vec3 formationPull(const Scene& scene, const Settings& settings, int count, int i);

}  // namespace tavrik
