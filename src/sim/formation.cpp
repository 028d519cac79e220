#include "sim/formation.h"

namespace tavrik {

namespace {

constexpr int kRowSpacing = 60;
constexpr int kColumnSpacing = 30;
constexpr float kLineSpacing = 50.0f;
constexpr float kTriangleGain = -1.5e-6f;
constexpr float kLineGain = -3e-6f;

}  // namespace

Vec3 formationSlot(const Scene& scene, const Settings& settings, int count, int i) {
  const Harrier& leader = scene.harriers[0];
  if (settings.formation == kFormationLine) {
    const float place = static_cast<float>(i) - static_cast<float>(count) / 2.0f;
    return leader.position + Vec3(0.0f, 0.0f, place * kLineSpacing);
  }
  // Flattened to the horizontal; a leader flying straight up or down has neither, and its
  // rows then collapse onto it instead of pointing anywhere undefined.
  const Vec3 heading = Normalize(Vec3(leader.forward.x, 0.0f, leader.forward.z));
  const Vec3 side = Normalize(Vec3(leader.side.x, 0.0f, leader.side.z));
  return leader.position + heading * static_cast<float>(scene.formationRow[i] * kRowSpacing) +
         side * static_cast<float>(scene.formationColumn[i] * kColumnSpacing);
}

Vec3 formationPull(const Scene& scene, const Settings& settings, int count, int i) {
  if (!fliesFormation(settings.formation)) {
    return {0.0f, 0.0f, 0.0f};
  }
  const bool line = settings.formation == kFormationLine;
  if (line && i == 0) {
    return {0.0f, 0.0f, 0.0f};
  }
  const Harrier& leader = scene.harriers[0];
  const Vec3& f0 = leader.forward;
  const Vec3& u0 = leader.up;
  const Vec3 slot = formationSlot(scene, settings, count, i);
  Vec3 e = (line ? kLineGain : kTriangleGain) * (scene.harriers[i].position - slot);
  // The triangle stiffens the pull along the leader's flight and vertically; the line softens
  // both, so its harriers string out more loosely.
  if (line) {
    e = e - (0.1f * Dot(e, f0)) * f0;
    e = e - (0.6f * Dot(e, u0)) * u0;
  } else {
    e = e + (3.5f * Dot(e, f0)) * f0;
    e = e + (1.0f * Dot(e, u0)) * u0;
  }
  // The timer's difference wraps every 49.7 days; a run that has seen a wrap is long past its
  // ease-in and must not loosen its formation again.
  const float age = static_cast<float>(scene.nowMs - scene.startMs);
  if (scene.elapsedMs <= UINT32_MAX && age < static_cast<float>(kFormationEaseInMs)) {
    e = e * (age / 1000.0f / 10.0f);
  }
  return e;
}

}  // namespace tavrik
