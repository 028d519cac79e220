// The scene's fixed storage: layout constants, the models, the tile grids' matrices, the harrier
// table, the materials and the per-run choices. One Scene value per run, zero-initialised
// (Scene scene{}), filled once by buildScene and rewritten in place every frame.
#pragma once

#include <cstdint>

#include "device/device.h"
#include "math/matrix.h"
#include "math/vector.h"

namespace tavrik {

inline constexpr float kCloudTileSize = 100.0f;
inline constexpr float kCloudTileGap = 100.0f;
inline constexpr float kGroundTileSize = 100.0f;
inline constexpr float kGroundTileGap = 100.0f;
inline constexpr float kQuarryClimbFactor = 1.2f;
// Ten decimals, not full double precision: the ring's spacing is built with this value.
inline constexpr double kPi = 3.1415926535;

inline constexpr int kCloudCells = 17;
inline constexpr int kGroundCells = 25;
inline constexpr int kCloudTileCount = 145;
inline constexpr int kGroundTileCount = 313;
inline constexpr int kMaxQuarrySegments = 36;
inline constexpr int kHarrierTableSize = 31;
inline constexpr float kGroundHeight = -500.0f;

inline constexpr float kCloudSpan =
    kCloudCells * kCloudTileSize + (kCloudCells - 1) * kCloudTileGap;
inline constexpr float kCloudHalfSpan = kCloudSpan / 2.0f;
inline constexpr Vec3 kCloudCentre{kCloudHalfSpan, 0.0f, kCloudHalfSpan};
inline constexpr float kGroundSpan =
    kGroundCells * kGroundTileSize + (kGroundCells - 1) * kGroundTileGap;
inline constexpr float kGroundHalfSpan = kGroundSpan / 2.0f;
inline constexpr Vec3 kGroundCentre{kGroundHalfSpan, 0.0f, kGroundHalfSpan};
inline constexpr float kGroundOffsetX = kGroundCentre.x - kCloudCentre.x;
inline constexpr float kQuarryClimbRate = 0.1111f * kQuarryClimbFactor;

struct Colour3 {
  float r, g, b;
};

struct Harrier {
  Vec3 position;
  Vec3 drawPosition;  // where the latest step started: the translation of world
  Vec3 forward;
  Vec3 side;
  Vec3 up;
  Vec3 separation;
  Vec3 velocity;  // world units per millisecond
  float speed;
  float weavePhase;
  float wobblePhase;
  Colour3 colour;  // may exceed 1
  Matrix4 world;
};

struct Scene {
  Vertex cloudTopVerts[4];
  Vertex cloudBottomVerts[4];
  Matrix4 cloudTileMatrices[kCloudTileCount];
  Vertex groundTopVerts[4];
  Vertex groundBottomVerts[4];
  Matrix4 groundTileMatrices[kGroundTileCount];
  Vertex quarryTopVerts[3];
  Vertex quarrySideVerts[4];
  Vertex quarryBottomVerts[3];
  Vec3 quarryPosition;
  Matrix4 quarryTranslation;
  Matrix4 segmentRotation;
  Matrix4 quarrySegmentMatrices[kMaxQuarrySegments];
  Matrix4 view;
  Matrix4 projection;
  Vertex harrierBodyVerts[24];
  Vertex harrierFinVerts[6];
  Harrier harriers[kHarrierTableSize];
  int32_t formationColumn[kHarrierTableSize];
  int32_t formationRow[kHarrierTableSize];
  Material harrierMaterial;
  Material quarryMaterial;
  Material cloudMaterial;
  Material groundMaterial;

  // Choices made once per run.
  int32_t highOpening;
  float quarryPhase;
  uint16_t quarrySegmentCount;
  int32_t quarryYellow;
  int32_t groundRed;
  int32_t whiteFins;
  int32_t lane;
  uint32_t materialHandle;

  // The clock. sceneTime is derived from elapsedMs, the exact milliseconds since set-up.
  // sceneClock is the same time in double precision: the sines and cosines of the scene are taken
  // of it, since a float clock's spacing outgrows a frame's advance within a day of running.
  float sceneTime = -200.0f;
  double sceneClock = -200.0;
  uint64_t elapsedMs;
  uint32_t startMs;
  uint32_t previousFrameMs;
  uint32_t nowMs;
  uint32_t frameMs;
  Vec3 lookAheadPoint;
  Vec3 flockCentre;
};

// Rewrites the colours, power and ramp size of a material from one colour; the emissive part is
// 0.3 of it. Size field, alphas and texture handle are kept.
void FillMaterial(Material& desc, float r, float g, float b);

}  // namespace tavrik
