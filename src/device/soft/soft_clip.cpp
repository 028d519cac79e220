#include "device/soft/soft_clip.h"

namespace tavrik::soft {

namespace {

ClipVertex between(const ClipVertex& a, const ClipVertex& b, float t) {
  return ClipVertex{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t,
                    a.w + (b.w - a.w) * t, 0};
}

}  // namespace

int clipPolygon(const ClipPlanes& planes, uint32_t planeMask, const ClipVertex* in, int count,
                ClipVertex* out) {
  // Two scratch polygons; each plane adds at most one corner.
  ClipVertex buffers[2][kMaxClippedCorners + 1];
  const ClipVertex* source = in;
  int sourceCount = count;
  int target = 0;
  for (int p = 0; p < kPlaneCount && sourceCount > 0; ++p) {
    if ((planeMask & (1u << p)) == 0) {
      continue;
    }
    ClipVertex* result = buffers[target];
    int resultCount = 0;
    for (int i = 0; i < sourceCount; ++i) {
      const ClipVertex& from = source[i];
      const ClipVertex& to = source[(i + 1) % sourceCount];
      const float d0 = planeDistance(planes, p, from);
      const float d1 = planeDistance(planes, p, to);
      const bool in0 = d0 >= 0.0f;
      const bool in1 = d1 >= 0.0f;
      if (in0 && resultCount < kMaxClippedCorners) {
        result[resultCount++] = from;
      }
      if (in0 != in1 && resultCount < kMaxClippedCorners) {
        // Always interpolate from the inside corner, so a shared edge is cut at the same point
        // whichever triangle it belongs to.
        const ClipVertex& inside = in0 ? from : to;
        const ClipVertex& outside = in0 ? to : from;
        const float dIn = in0 ? d0 : d1;
        const float dOut = in0 ? d1 : d0;
        const float t = dIn / (dIn - dOut);
        if (t >= 0.0f && t <= 1.0f) {
          result[resultCount++] = between(inside, outside, t);
        }
      }
    }
    source = result;
    sourceCount = resultCount;
    target ^= 1;
  }
  if (sourceCount < 3) {
    return 0;
  }
  for (int i = 0; i < sourceCount; ++i) {
    out[i] = source[i];
  }
  return sourceCount;
}

bool clipLine(const ClipPlanes& planes, uint32_t planeMask, ClipVertex& a, ClipVertex& b) {
  float tA = 0.0f;
  float tB = 1.0f;
  for (int p = 0; p < kPlaneCount; ++p) {
    if ((planeMask & (1u << p)) == 0) {
      continue;
    }
    const float dA = planeDistance(planes, p, a);
    const float dB = planeDistance(planes, p, b);
    if (dA < 0.0f && dB < 0.0f) {
      return false;
    }
    if (dA < 0.0f) {
      const float t = dA / (dA - dB);
      tA = t > tA ? t : tA;
    } else if (dB < 0.0f) {
      const float t = dA / (dA - dB);
      tB = t < tB ? t : tB;
    }
  }
  if (!(tA < tB)) {
    return false;
  }
  const ClipVertex start = a;
  a = between(start, b, tA);
  b = between(start, b, tB);
  return true;
}

}  // namespace tavrik::soft
