// Clipping in homogeneous space: a triangle or a line against the planes it crosses.
#pragma once

#include <cstdint>

#include "device/soft/soft_transform.h"

namespace tavrik::soft {

// A triangle clipped against six planes has at most nine corners.
inline constexpr int kMaxClippedCorners = 9;

// Clips the convex polygon in/count against every plane named in planeMask; the result, in the
// same winding, goes to out. Returns its corner count, 0 when nothing is left.
int clipPolygon(const ClipPlanes& planes, uint32_t planeMask, const ClipVertex* in, int count,
                ClipVertex* out);

// Clips the segment a-b in place. False when nothing of it is left.
bool clipLine(const ClipPlanes& planes, uint32_t planeMask, ClipVertex& a, ClipVertex& b);

}  // namespace tavrik::soft
