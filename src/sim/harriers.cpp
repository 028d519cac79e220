#include "sim/harriers.h"

#include <algorithm>

#include "math/trig.h"
#include "sim/formation.h"
#include "sim/quarry.h"

namespace tavrik {

namespace {

constexpr float kSeparationReach = 2.5f;
constexpr float kSeparationCapDistance = 0.1f;

float sinOf(double angle) {
  return SinF(angle);
}
float cosOf(double angle) {
  return CosF(angle);
}

// One pass of the three stages over the whole flock.
void flockPass(Scene& scene, const Settings& settings, int count, double t, const Vec3& quarry,
               float dt) {
  computeFlockCentre(scene, count);
  computeSeparation(scene, count);
  for (int i = 0; i < count; ++i) {
    stepHarrier(scene, settings, count, i, t, quarry, dt);
  }
}

void setRow(Matrix4& m, int row, const Vec3& v, float w) {
  m(row, 0) = v.x;
  m(row, 1) = v.y;
  m(row, 2) = v.z;
  m(row, 3) = w;
}

}  // namespace

int liveHarrierCount(const Settings& settings) {
  return std::clamp(settings.numHarriers, 1, kHarrierTableSize);
}

void computeFlockCentre(Scene& scene, int count) {
  Vec3 sum(0.0f, 0.0f, 0.0f);
  for (int i = 0; i < count; ++i) {
    sum += scene.harriers[i].position;
  }
  scene.flockCentre = sum / static_cast<float>(count);
}

void computeSeparation(Scene& scene, int count) {
  for (int i = 0; i < count; ++i) {
    scene.harriers[i].separation = Vec3(0.0f, 0.0f, 0.0f);
  }
  for (int i = 0; i < count - 1; ++i) {
    for (int j = i + 1; j < count; ++j) {
      const Vec3 d = scene.harriers[j].position - scene.harriers[i].position;
      const float length = Length(d);
      const Vec3 n = Normalize(d);
      // The push falls off as 1 / (distance - 2.5), capped at 10 below 2.6.
      const Vec3 push = length < kSeparationReach + kSeparationCapDistance
                            ? -n / kSeparationCapDistance
                            : -n / (length - kSeparationReach);
      scene.harriers[i].separation += push;
      scene.harriers[j].separation -= push;
    }
  }
}

void stepHarrier(Scene& scene, const Settings& settings, int count, int i, double time,
                 const Vec3& quarry, float dt) {
  Harrier& h = scene.harriers[i];
  const bool formation = fliesFormation(settings.formation);
  const Vec3 p = h.position;
  const Vec3 f = h.forward;
  const Vec3 u = h.up;
  const Vec3 v = h.velocity;
  const float s = h.speed;

  Vec3 a(0.0f, 0.0f, 0.0f);
  if (formation) {
    a += formationPull(scene, settings, count, i);
  }

  const float wobble =
      formation ? 1.0f : 1.0f + 0.15f * sinOf(0.062347 * time + static_cast<double>(h.wobblePhase));
  a += f * wobble / 770.0f;

  a += u * s / 20000.0f;

  Vec3 g = Normalize(quarry - p);
  const float ahead = Dot(g, f);
  if (ahead < 0.0f) {
    g = g - ahead * f;
  }
  const float along = Dot(g, u);
  if (f.y > 0.0f) {
    g = g - (along * f.y) * u;
  } else {
    g = g - (along * 0.3f) * u;
  }
  a += g / (formation && i != 0 ? 10000.0f : 2500.0f);

  a += h.separation / 5000.0f;

  // Diving trades height for speed, climbing speed for height.
  if (v.y < 0.0f) {
    a += Vec3(f.x, f.y / 3.0f, f.z) * (-v.y) / 80.0f;
  } else if (v.y > 0.0f) {
    a += -Vec3(f.x, 2.0f * f.y, f.z) * v.y / 800.0f;
  }

  const Vec3 level = Normalize(Vec3(f.z, 0.0f, -f.x));
  const float weave = cosOf(0.101211 * time + static_cast<double>(h.weavePhase));
  a += level * weave / (settings.formation == kFormationTriangle ? 64000.0f : 15000.0f);

  a += (-(s * s)) * v / 50.0f;

  const Vec3 v1 = v + a * dt;
  const float s1 = Length(v1);
  const Vec3 f1 = Normalize(v1);
  // The harrier rolls into its turn, the more so the faster and harder it turns.
  const float bank = (a.z * v1.x - a.x * v1.z) * 8000.0f;
  const Vec3 side1 = Normalize(Vec3(f1.z, bank, -f1.x));
  const Vec3 up1 = Cross(f1, side1);

  h.velocity = v1;
  h.speed = s1;
  h.forward = f1;
  h.side = side1;
  h.up = up1;

  // Rows: the model's x, y and z axes, then its place.
  setRow(h.world, 0, side1, 0.0f);
  setRow(h.world, 1, up1, 0.0f);
  setRow(h.world, 2, f1, 0.0f);
  setRow(h.world, 3, p, 1.0f);
  h.drawPosition = p;
  h.position = p + v1 * dt;
}

void stepHarriers(Scene& scene, const Settings& settings) {
  const int count = liveHarrierCount(settings);
  if (scene.frameMs <= kMaxStepMs) {
    flockPass(scene, settings, count, scene.sceneClock, scene.quarryPosition,
              static_cast<float>(scene.frameMs));
    return;
  }
  // A late frame: fly its last few seconds in short steps, each against the clock and the
  // quarry of its own end, the last of them this frame's.
  uint32_t remaining = std::min(scene.frameMs, kMaxCatchUpMs);
  while (remaining > 0) {
    const uint32_t dt = std::min(remaining, kMaxStepMs);
    remaining -= dt;
    if (remaining == 0) {
      flockPass(scene, settings, count, scene.sceneClock, scene.quarryPosition,
                static_cast<float>(dt));
    } else {
      const uint64_t end = scene.elapsedMs > remaining ? scene.elapsedMs - remaining : 0;
      const double t = sceneClockAt(end);
      flockPass(scene, settings, count, t, quarryPathAt(scene, t), static_cast<float>(dt));
    }
  }
}

}  // namespace tavrik
