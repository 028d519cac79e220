// Vertex transform and fixed-function lighting of the software device: untransformed vertices
// to homogeneous clip space with outcodes, and the lit colour of a vertex under the active
// directional lights.
#pragma once

#include <cmath>
#include <cstdint>

#include "device/device.h"
#include "math/matrix.h"
#include "math/vector.h"

namespace tavrik::soft {

// The planes a clip-space point is tested against, each as sign x coordinate + offset x w >= 0
// with the coordinate and sign fixed by the plane's place in this list. The first four bound
// the viewport's clip rectangle and only reject; the others are clipped against: near and far,
// and a guard band wide enough that anything inside it rasterises in fixed point without
// overflow while the scissor trims it to the rectangle.
enum ClipPlane : int {
  kRectLeft,
  kRectRight,
  kRectBottom,
  kRectTop,
  kNear,
  kFar,
  kGuardLeft,
  kGuardRight,
  kGuardBottom,
  kGuardTop,
  kPlaneCount
};
inline constexpr uint32_t kRectPlanes = 0xF;
inline constexpr uint32_t kClippedPlanes = 0x3F0;
// Set in an outcode when a coordinate is not finite: such a vertex is never drawn.
inline constexpr uint32_t kNotFinite = 1u << 31;

struct ClipPlanes {
  float offset[kPlaneCount];
};

struct ClipVertex {
  float x, y, z, w;
  uint32_t outcode;
};

inline float planeDistance(const ClipPlanes& planes, int plane, const ClipVertex& v) {
  static constexpr int kAxis[kPlaneCount] = {0, 0, 1, 1, 2, 2, 0, 0, 1, 1};
  const float coordinate = kAxis[plane] == 0 ? v.x : kAxis[plane] == 1 ? v.y : v.z;
  return ((plane & 1) == 0 ? coordinate : -coordinate) + planes.offset[plane] * v.w;
}

inline uint32_t outcodeOf(const ClipPlanes& planes, float x, float y, float z, float w) {
  constexpr float kMax = 3.4e38f;
  if (!(std::fabs(x) < kMax && std::fabs(y) < kMax && std::fabs(z) < kMax && std::fabs(w) < kMax)) {
    return kNotFinite;
  }
  const float* o = planes.offset;
  // With finite coordinates every distance compares: an overflow is an infinity of the right sign.
  return static_cast<uint32_t>(x + o[kRectLeft] * w < 0.0f) |
         static_cast<uint32_t>(-x + o[kRectRight] * w < 0.0f) << 1 |
         static_cast<uint32_t>(y + o[kRectBottom] * w < 0.0f) << 2 |
         static_cast<uint32_t>(-y + o[kRectTop] * w < 0.0f) << 3 |
         static_cast<uint32_t>(z + o[kNear] * w < 0.0f) << 4 |
         static_cast<uint32_t>(-z + o[kFar] * w < 0.0f) << 5 |
         static_cast<uint32_t>(x + o[kGuardLeft] * w < 0.0f) << 6 |
         static_cast<uint32_t>(-x + o[kGuardRight] * w < 0.0f) << 7 |
         static_cast<uint32_t>(y + o[kGuardBottom] * w < 0.0f) << 8 |
         static_cast<uint32_t>(-y + o[kGuardTop] * w < 0.0f) << 9;
}

// p x matrix for each vertex, with its outcode.
void transformVertices(const Matrix4& worldViewProjection, const ClipPlanes& planes,
                       const Vertex* vertices, uint32_t count, ClipVertex* out);

// The active directional lights, each as the unit vector towards the light and its colour.
struct LightSet {
  int count;
  Vec3 towardLight[kMaxLights];
  ColourValue colour[kMaxLights];
};

// emissive + sum of diffuse x light colour x max(0, N.L), N the normal turned by the world
// matrix and normalised; each channel clamped to [0, 1] after the sum. Returned as RGB565.
uint16_t litColour(const Vertex& vertex, const Matrix4& world, const LightSet& lights,
                   const Material& material);

// A colour channel in [0, 1] (anything else is clamped, NaN counts as 0) to `levels` steps.
inline uint32_t toChannel(float value, float levels) {
  const float clamped = value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;
  return static_cast<uint32_t>(clamped * levels + 0.5f);
}

inline uint16_t toRgb565(float r, float g, float b) {
  return static_cast<uint16_t>(toChannel(r, 31.0f) << 11 | toChannel(g, 63.0f) << 5 |
                               toChannel(b, 31.0f));
}

}  // namespace tavrik::soft
