// Vertex transform and fixed-function lighting of the software device: untransformed vertices
// to homogeneous clip space with outcodes, and the lit colour of a vertex under the active
// directional lights.
#pragma once

#include <cstdint>

#include "device/device.h"
#include "math/matrix.h"
#include "math/vector.h"

namespace tavrik::soft {

// The planes a clip-space point is tested against, each as x*a + y*b + z*c + w*d >= 0. The
// first four bound the viewport's clip rectangle and only reject; the others are clipped
// against: near and far, and a guard band wide enough that anything inside it rasterises in
// fixed point without overflow while the scissor trims it to the rectangle.
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
  float plane[kPlaneCount][4];
};

struct ClipVertex {
  float x, y, z, w;
  uint32_t outcode;
};

uint32_t outcodeOf(const ClipPlanes& planes, float x, float y, float z, float w);

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
