#include "camera/camera.h"

#include "math/matrix.h"
#include "math/trig.h"
#include "sim/formation.h"
#include "sim/harriers.h"

namespace tavrik {

namespace {

// Which shot and recipe each of the 19 equally likely tracking draws gives.
constexpr int kTrackingShotTable[19] = {0, 1, 2, 3, 4, 5, 6, 6, 5, 7, 1, 7, 8, 2, 4, 4, 0, 9, 8};

constexpr float kWideLens = 0.75f;
constexpr float kQuarryLens = 0.6f;
constexpr uint32_t kOpeningMs = 12000;
constexpr uint32_t kLongTakeMs = 30000;

uint32_t truncMs(float ms) {
  return static_cast<uint32_t>(ms);
}

// Shots 2000 and 2010 follow one harrier: any live one in free flight, never the unseen leader
// in a formation.
void pickTargetHarrier(CameraState& camera, const Settings& settings, Random& random) {
  const uint32_t count = static_cast<uint32_t>(liveHarrierCount(settings));
  camera.targetHarrier = static_cast<uint32_t>(random.next()) % count;
  if (fliesFormation(settings.formation)) {
    const uint32_t followers = count - 1;
    const uint32_t draw = static_cast<uint32_t>(random.next());
    camera.targetHarrier = followers > 0 ? draw % followers + 1 : 0;
  }
}

void fixedCut(CameraState& camera, const Scene& scene, Random& random) {
  const int s = random.next() % 4;
  camera.shotCode = s == 0   ? ShotCode::fieldOverview
                    : s == 1 ? ShotCode::fieldLengthwise
                             : ShotCode::quarryAmbush;
  if (camera.shotCode == ShotCode::fieldOverview) {
    if (random.next() % 3 == 0) {
      const float u = random.unit();
      camera.shotDurationMs = 7000 + truncMs(2000.0f * u);
    } else {
      const float u = random.unit();
      camera.shotDurationMs = 2000 + truncMs(4000.0f * u);
    }
    const float u1 = random.unit();
    const float r = (3.0f * u1 + 1.0f) * kCloudHalfSpan;
    const float u2 = random.unit();
    const float u3 = random.unit();
    const float e = 0.785375f * u2 - 0.52358335f * u3;
    camera.fixedTarget = kCloudCentre;
    camera.fixedEye = kCloudCentre + fieldOverviewOffset(r, e);
  } else if (camera.shotCode == ShotCode::fieldLengthwise) {
    const float span = kCloudSpan;
    if (random.next() % 3 == 0) {
      const float u = random.unit();
      camera.shotDurationMs = 5000 + truncMs(6000.0f * u);
    } else {
      const float u = random.unit();
      camera.shotDurationMs = 2000 + truncMs(2000.0f * u);
    }
    const float u1 = random.unit();
    const float x = (0.6f * u1 + 0.2f) * span;
    const float u2 = random.unit();
    camera.fixedTarget = Vec3(x, (0.2f * u2 - 0.2f) * span, span);
    const float u3 = random.unit();
    const float eyeY = (0.3f * u3 - 0.1f) * span;
    const float u4 = random.unit();
    camera.fixedEye = Vec3(x, eyeY, -u4 * (0.4f * span));
  } else {
    const float u1 = random.unit();
    camera.shotDurationMs = 6000 + truncMs(1000.0f * u1);
    const float u2 = random.unit();
    const float d = 500.0f + 1000.0f * u2;
    const float u3 = random.unit();
    const float u4 = random.unit();
    const float jy = (u3 - u4) * d / 7.0f;
    const float u5 = random.unit();
    const float u6 = random.unit();
    const float jx = (u5 - u6) * d / 7.0f;
    camera.fixedTarget = scene.lookAheadPoint + Vec3(jx, jy, 0.0f);
    camera.fixedEye = camera.fixedTarget + Vec3(0.0f, 0.0f, -d);
  }
}

struct RideAlongRecipe {
  float a, b, c, g, q;
};

void rideAlong(CameraState& camera, const Settings& settings, Random& random,
               const RideAlongRecipe& recipe) {
  camera.shotCode = ShotCode::harrierRideAlong;
  pickTargetHarrier(camera, settings, random);
  const float u1 = random.unit();
  camera.lensTangent = recipe.a + recipe.b * u1;
  const float u2 = random.unit();
  const float r = recipe.c + recipe.g * u2;
  const float u3 = random.unit();
  const float u4 = random.unit();
  const float e = 0.261798f * u3 - 0.087266f * u4;
  camera.eyeOffset = shotOffset(r, e);
  const float u5 = random.unit();
  const float u6 = random.unit();
  const float jy = (u5 - u6) * r / recipe.q;
  const float u7 = random.unit();
  const float u8 = random.unit();
  const float jx = (u7 - u8) * r / recipe.q;
  camera.targetJitter = Vec3(jx, jy, 0.0f);
}

// The telephoto variants that differ only in their constants: lens = lensScale u + lensBase,
// eye height = belowScale u + aboveScale u', eye depth = depthScale u.
struct TelephotoRecipe {
  float lensScale, lensBase, belowScale, aboveScale, depthScale;
};
constexpr TelephotoRecipe kTelephoto1{0.01f, 0.01f, -30.0f, 200.0f, 300.0f};
constexpr TelephotoRecipe kTelephoto5{0.02f, 0.01f, -100.0f, 900.0f, 300.0f};
constexpr TelephotoRecipe kTelephoto7{0.003f, 0.003f, -50.0f, 250.0f, -100.0f};

void telephoto(CameraState& camera, const Settings& settings, Random& random, int variant) {
  const float h = 0.5f * kCloudSpan;
  camera.shotCode = ShotCode::harrierTelephoto;
  if (variant == 7) {
    const float u = random.unit();
    camera.shotDurationMs = 2000 + truncMs(5000.0f * u);
  }
  pickTargetHarrier(camera, settings, random);
  if (variant == 8) {
    const int step = random.next() % 4;
    camera.lensTangent = 0.03f + 0.01f * static_cast<float>(step);
    const float u2 = random.unit();
    const float u3 = random.unit();
    const float y = -50.0f * u2 + 250.0f * u3;
    const float u4 = random.unit();
    const float u5 = random.unit();
    camera.fixedEye = Vec3(h, y, 100.0f * u4 - 100.0f * u5);
  } else {
    const TelephotoRecipe& recipe = variant == 1   ? kTelephoto1
                                    : variant == 5 ? kTelephoto5
                                                   : kTelephoto7;
    const float u1 = random.unit();
    camera.lensTangent = recipe.lensScale * u1 + recipe.lensBase;
    const float u2 = random.unit();
    const float u3 = random.unit();
    const float y = recipe.belowScale * u2 + recipe.aboveScale * u3;
    const float u4 = random.unit();
    camera.fixedEye = Vec3(h, y, recipe.depthScale * u4);
  }
  if (variant != 7 && random.next() % 4 == 0) {
    camera.shotDurationMs = kLongTakeMs;
    camera.fixedEye = Vec3(h, 50.0f, -100.0f);
  }
}

void trackingCut(CameraState& camera, const Settings& settings, Random& random) {
  if (random.next() % 3 == 0) {
    const float u = random.unit();
    camera.shotDurationMs = 2000 + truncMs(10000.0f * u);
  } else {
    const float u = random.unit();
    camera.shotDurationMs = 1000 + truncMs(3000.0f * u);
  }
  const int variant = kTrackingShotTable[random.next() % 19];
  switch (variant) {
    case 0:
      rideAlong(camera, settings, random, {0.35f, 0.2f, 20.0f, 100.0f, 10.0f});
      break;
    case 4:
      rideAlong(camera, settings, random, {0.25f, 0.1f, 30.0f, 10.0f, 10.0f});
      break;
    case 6:
      rideAlong(camera, settings, random, {0.25f, 0.1f, 50.0f, 100.0f, 10.0f});
      break;
    case 9:
      rideAlong(camera, settings, random, {0.4f, 0.2f, 50.0f, 200.0f, 5.0f});
      break;
    case 1:
    case 5:
    case 7:
    case 8:
      telephoto(camera, settings, random, variant);
      break;
    case 2: {
      camera.shotCode = ShotCode::flockFollow;
      const float u1 = random.unit();
      camera.shotDurationMs = 5000 + truncMs(10000.0f * u1);
      const float u2 = random.unit();
      camera.lensTangent = 0.4f * u2 + 0.3f;
      const float u3 = random.unit();
      const float r = (u3 + 1.0f) * 400.0f;
      const float u4 = random.unit();
      const float u5 = random.unit();
      camera.eyeOffset = shotOffset(r, (u4 - u5) * 0.26179168f);
      break;
    }
    default: {
      camera.shotCode = ShotCode::quarryFollow;
      const float u1 = random.unit();
      const float r = (2.0f * u1 + 1.0f) * 40.0f;
      float e = 0.0f;
      if (random.next() % 2 == 0) {
        const float u = random.unit();
        e = 0.523596f * u;
      } else {
        const float u = random.unit();
        e = -0.349064f * u;
      }
      camera.eyeOffset = shotOffset(r, e);
      break;
    }
  }
}

// The run's first tracking cut becomes the opening: a slow view of the whole flock or, in one
// run of ten, a long lens on one harrier from high above the field.
void openingShot(CameraState& camera, const Scene& scene, const Settings& settings,
                 Random& random) {
  camera.openingPending = 0;
  camera.shotCode = ShotCode::flockOpening;
  camera.shotDurationMs = kOpeningMs;
  const float u1 = random.unit();
  camera.lensTangent = 0.1f * u1 + 0.5f;
  const float u2 = random.unit();
  const float r = (0.2f * u2 + 1.0f) * 250.0f;
  const float u3 = random.unit();
  camera.eyeOffset = shotOffset(r, 0.261798f * u3 + 0.0174532f);
  if (scene.highOpening == 1) {
    camera.shotCode = ShotCode::harrierTelephoto;
    camera.targetHarrier = fliesFormation(settings.formation) ? 1 : 0;
    const float u4 = random.unit();
    camera.lensTangent = 0.005f * u4 + 0.015f;
    const float u5 = random.unit();
    const float y = 100.0f * u5 + 1000.0f;
    const float u6 = random.unit();
    camera.fixedEye = Vec3(0.5f * kCloudSpan, y, 50.0f * u6 - 100.0f);
  }
}

// The followed harrier's drawn position; an index outside the live flock (only possible with a
// formation of one harrier) falls back to harrier 0.
Vec3 followedHarrier(const CameraState& camera, const Scene& scene, const Settings& settings) {
  const uint32_t count = static_cast<uint32_t>(liveHarrierCount(settings));
  const uint32_t index = camera.targetHarrier < count ? camera.targetHarrier : 0;
  return scene.harriers[index].drawPosition;
}

}  // namespace

Vec3 shotOffset(float r, float e) {
  const double elevation = static_cast<double>(e);
  float s = 0.0f;
  float c = 0.0f;
  SinCosF(elevation, s, c);
  return {0.0f, r * s, -r * c};
}

Vec3 fieldOverviewOffset(float r, float e) {
  Vec3 d = shotOffset(r, e);
  if (d.y < -450.0f && r > 0.0f) {
    const double ratio = -500.0 / static_cast<double>(r);
    const float lifted = static_cast<float>(Asin(ratio < -1.0 ? -1.0 : ratio));
    d = shotOffset(r, lifted);
  }
  return d;
}

bool cutDue(const CameraState& camera, uint32_t nowMs) {
  return camera.openingPending == 1 || nowMs - camera.lastCutMs > camera.shotDurationMs;
}

void makeCut(CameraState& camera, const Scene& scene, const Settings& settings, Random& random) {
  if (camera.fixedGroupNext == 1) {
    fixedCut(camera, scene, random);
  } else {
    trackingCut(camera, settings, random);
    if (camera.openingPending == 1) {
      openingShot(camera, scene, settings, random);
    }
  }
  camera.lastCutMs = scene.nowMs;
  camera.fixedGroupNext = camera.fixedGroupNext == 1 ? 0 : 1;
}

void placeCamera(CameraState& camera, Scene& scene, const Settings& settings) {
  float nearPlane = 10.0f;
  float farPlane = 5000.0f;
  float lens = camera.lensTangent;
  switch (camera.shotCode) {
    case ShotCode::fieldOverview:
    case ShotCode::fieldLengthwise:
    case ShotCode::quarryAmbush:
      camera.cameraTarget = camera.fixedTarget;
      camera.cameraEye = camera.fixedEye;
      lens = kWideLens;
      nearPlane = camera.shotCode == ShotCode::fieldOverview     ? 50.0f
                  : camera.shotCode == ShotCode::fieldLengthwise ? 10.0f
                                                                 : 40.0f;
      farPlane = camera.shotCode == ShotCode::fieldOverview ? 10000.0f : 5000.0f;
      break;
    case ShotCode::harrierRideAlong:
      camera.cameraTarget = followedHarrier(camera, scene, settings) + camera.targetJitter;
      camera.cameraEye = camera.cameraTarget + camera.eyeOffset;
      break;
    case ShotCode::harrierTelephoto:
      camera.cameraTarget = followedHarrier(camera, scene, settings);
      camera.cameraEye = camera.fixedEye;
      nearPlane = 100.0f;
      farPlane = 6000.0f;
      break;
    case ShotCode::quarryFollow:
      camera.cameraTarget = scene.quarryPosition;
      camera.cameraEye = camera.cameraTarget + camera.eyeOffset;
      lens = kQuarryLens;
      break;
    default:  // flockFollow and flockOpening
      camera.cameraTarget = scene.flockCentre;
      camera.cameraEye = camera.cameraTarget + camera.eyeOffset;
      break;
  }
  const float fov = static_cast<float>(2.0 * Atan(static_cast<double>(lens)));
  SetPerspective(scene.projection, nearPlane, farPlane, fov);
  SetLookAt(scene.view, camera.cameraEye, camera.cameraTarget, 0.0f);
}

void stepCamera(CameraState& camera, Scene& scene, const Settings& settings, Random& random) {
  if (cutDue(camera, scene.nowMs)) {
    makeCut(camera, scene, settings, random);
  }
  placeCamera(camera, scene, settings);
}

}  // namespace tavrik
