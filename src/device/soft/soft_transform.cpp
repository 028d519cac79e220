#include "device/soft/soft_transform.h"

#include <cmath>

namespace tavrik::soft {

void transformVertices(const Matrix4& m, const ClipPlanes& planes, const Vertex* vertices,
                       uint32_t count, ClipVertex* out) {
  for (uint32_t i = 0; i < count; ++i) {
    const Vec3& p = vertices[i].position;
    ClipVertex& v = out[i];
    v.x = p.x * m.m[0] + p.y * m.m[4] + p.z * m.m[8] + m.m[12];
    v.y = p.x * m.m[1] + p.y * m.m[5] + p.z * m.m[9] + m.m[13];
    v.z = p.x * m.m[2] + p.y * m.m[6] + p.z * m.m[10] + m.m[14];
    v.w = p.x * m.m[3] + p.y * m.m[7] + p.z * m.m[11] + m.m[15];
    v.outcode = outcodeOf(planes, v.x, v.y, v.z, v.w);
  }
}

uint16_t litColour(const Vertex& vertex, const Matrix4& world, const LightSet& lights,
                   const Material& material) {
  const Vec3& n = vertex.normal;
  const Vec3 turned(n.x * world.m[0] + n.y * world.m[4] + n.z * world.m[8],
                    n.x * world.m[1] + n.y * world.m[5] + n.z * world.m[9],
                    n.x * world.m[2] + n.y * world.m[6] + n.z * world.m[10]);
  const Vec3 normal = Normalize(turned);
  float r = material.emissive.r;
  float g = material.emissive.g;
  float b = material.emissive.b;
  for (int i = 0; i < lights.count; ++i) {
    const float facing = Dot(normal, lights.towardLight[i]);
    if (facing > 0.0f) {
      r += material.diffuse.r * lights.colour[i].r * facing;
      g += material.diffuse.g * lights.colour[i].g * facing;
      b += material.diffuse.b * lights.colour[i].b * facing;
    }
  }
  return toRgb565(r, g, b);
}

}  // namespace tavrik::soft
