// The camera director: shots, cuts and each frame's view and projection.
#pragma once

#include <cstdint>

#include "config/settings.h"
#include "math/random.h"
#include "math/vector.h"
#include "scene/scene.h"

namespace tavrik {

enum class ShotCode : int32_t {
  fieldOverview = 1000,
  fieldLengthwise = 1010,
  quarryAmbush = 1020,
  harrierRideAlong = 2000,
  harrierTelephoto = 2010,
  flockFollow = 2020,
  quarryFollow = 2030,
  flockOpening = 3000,
};

struct CameraState {
  ShotCode shotCode = ShotCode::harrierRideAlong;
  uint32_t shotDurationMs = 10000;
  uint32_t lastCutMs = 0;
  int32_t fixedGroupNext = 0;
  int32_t openingPending = 1;
  uint32_t targetHarrier = 0;
  float lensTangent = 0.0f;
  Vec3 eyeOffset{0, 0, 0};
  Vec3 targetJitter{0, 0, 0};
  Vec3 fixedTarget{0, 0, 0};
  Vec3 fixedEye{0, 0, 0};
  Vec3 cameraEye{100, 100, 100};
  Vec3 cameraTarget{1, 1, 1};
};

// Cuts when the shot has run out, then places the camera and writes scene.view and
// scene.projection. Reads the frame's clock, quarry and harriers from the scene.
void stepCamera(CameraState& camera, Scene& scene, const Settings& settings, Random& random);

// True when this frame cuts: the opening is still to come, or more than the shot's duration has
// passed since the last cut (an unsigned difference, so the timer's wrap does not matter).
bool cutDue(const CameraState& camera, uint32_t nowMs);

// Chooses the next shot and its parameters, drawing from random in the order of its recipe.
void makeCut(CameraState& camera, const Scene& scene, const Settings& settings, Random& random);

// This frame's eye and target for the current shot, and the view and projection from them.
void placeCamera(CameraState& camera, Scene& scene, const Settings& settings);

// The point at distance r from the origin at elevation e, in the plane x = 0 on the -z side.
Vec3 shotOffset(float r, float e);

// The field overview's eye offset, lifted so that the eye never sinks below the ground.
Vec3 fieldOverviewOffset(float r, float e);

}  // namespace tavrik
