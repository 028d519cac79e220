// Triangle set-up and edge walking of the software device. Vertices arrive in screen space with
// 8 bits of sub-pixel precision; pixel (X, Y) is sampled at the integer point (X, Y), as the
// immediate-mode devices do. Coverage uses exact integer edge functions with a top-left rule, so
// triangles sharing an edge cover every pixel along it exactly once. Each covered run of a row
// goes to a span sink; what a span does with the pixels is the sink's business.
#pragma once

#include <cmath>
#include <cstdint>

namespace tavrik::soft {

inline constexpr int kSubpixelBits = 8;
inline constexpr int32_t kSubpixel = 1 << kSubpixelBits;
// Depth runs in 16.15 fixed point from 0 to kDepthMax: the top of the range stays clear of the
// sign bit however a span's step rounds.
inline constexpr int kDepthFractionBits = 15;
inline constexpr int32_t kDepthMax = 0xFFFF << kDepthFractionBits;

struct ScreenVertex {
  int32_t x, y;  // in 1/256 of a pixel
  float depth;   // 0 to 65535
};

// Pixels from x0, y0 up to but not including x1, y1.
struct PixelRect {
  int x0, y0, x1, y1;
};

// Twice the signed area in square sub-pixel units: positive when the vertices run clockwise on the
// screen (y grows downwards).
inline int64_t doubleArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
  return static_cast<int64_t>(b.x - a.x) * (c.y - a.y) -
         static_cast<int64_t>(b.y - a.y) * (c.x - a.x);
}

namespace detail {

inline int64_t floorDiv(int64_t n, int64_t d) {  // d > 0
  const int64_t q = n / d;
  return (n % d != 0 && n < 0) ? q - 1 : q;
}

// One edge's bound on the covered columns of a row, stepped from row to row without division:
// bound = floor(numerator / denominator) kept as quotient and remainder.
struct EdgeWalker {
  int kind;  // 0: bounds from the left, 1: from the right, 2: horizontal
  int64_t quotient, remainder, denominator;
  int64_t stepQuotient, stepRemainder;
  int64_t horizontal, horizontalStep;  // kind 2: the row is inside while horizontal >= 0

  void step() {
    if (kind == 2) {
      horizontal += horizontalStep;
      return;
    }
    quotient += stepQuotient;
    remainder += stepRemainder;
    if (remainder >= denominator) {
      remainder -= denominator;
      ++quotient;
    }
  }
};

// Edge a -> b of a clockwise triangle, first evaluated on row y. Inside means
// E = dx * (py - ay) - dy * (px - ax) > 0, or = 0 on a top or left edge.
inline EdgeWalker makeEdge(const ScreenVertex& a, const ScreenVertex& b, int y) {
  const int64_t dx = b.x - a.x;
  const int64_t dy = b.y - a.y;
  const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
  const int64_t threshold = topLeft ? 0 : 1;
  // E at column px of row y is k - dy * px.
  const int64_t k = dx * (static_cast<int64_t>(y) * kSubpixel - a.y) + dy * a.x;
  EdgeWalker e{};
  if (dy == 0) {
    e.kind = 2;
    e.horizontal = k - threshold;
    e.horizontalStep = dx * kSubpixel;
    return e;
  }
  // Left edges (dy < 0) need px >= (threshold - k) / -dy, right edges px <= (k - threshold) / dy.
  // With px = X * kSubpixel both become floor(n / d) bounds on X.
  const int64_t n = k - threshold;
  const int64_t d = (dy < 0 ? -dy : dy) * kSubpixel;
  e.kind = dy < 0 ? 0 : 1;
  e.denominator = d;
  e.quotient = floorDiv(n, d);
  e.remainder = n - e.quotient * d;
  const int64_t step = dx * kSubpixel;
  e.stepQuotient = floorDiv(step, d);
  e.stepRemainder = step - e.stepQuotient * d;
  return e;
}

inline int32_t clampDepth(double z) {
  if (!(z > 0.0)) {
    return 0;
  }
  return z < static_cast<double>(kDepthMax) ? static_cast<int32_t>(z) : kDepthMax;
}

}  // namespace detail

// Walks the rows of a clockwise triangle (doubleArea > 0) inside clip and hands each covered run
// to sink.span(y, xFirst, xLast, depth, depthStep), depth in 16.15 fixed point at xFirst.
template <class Sink>
void rasterTriangle(const ScreenVertex& v0, const ScreenVertex& v1, const ScreenVertex& v2,
                    const PixelRect& clip, Sink& sink) {
  const int64_t area = doubleArea(v0, v1, v2);
  if (area <= 0) {
    return;
  }
  int32_t minY = v0.y < v1.y ? v0.y : v1.y;
  minY = minY < v2.y ? minY : v2.y;
  int32_t maxY = v0.y > v1.y ? v0.y : v1.y;
  maxY = maxY > v2.y ? maxY : v2.y;
  int yFirst = static_cast<int>(-detail::floorDiv(-static_cast<int64_t>(minY), kSubpixel));
  int yLast = static_cast<int>(detail::floorDiv(maxY, kSubpixel));
  yFirst = yFirst > clip.y0 ? yFirst : clip.y0;
  yLast = yLast < clip.y1 - 1 ? yLast : clip.y1 - 1;
  if (yFirst > yLast) {
    return;
  }

  // The depth plane over whole pixels, from the vertices' exact sub-pixel positions.
  const double inverse = static_cast<double>(kSubpixel) / static_cast<double>(area);
  const double z0 = v0.depth, z1 = v1.depth, z2 = v2.depth;
  const double ax = v1.x - v0.x, ay = v1.y - v0.y, bx = v2.x - v0.x, by = v2.y - v0.y;
  const double dzdx = ((z1 - z0) * by - (z2 - z0) * ay) * inverse;
  const double dzdy = ((z2 - z0) * ax - (z1 - z0) * bx) * inverse;
  const double scale = static_cast<double>(1 << kDepthFractionBits);
  const double originX = v0.x / static_cast<double>(kSubpixel);
  const double originY = v0.y / static_cast<double>(kSubpixel);
  // One step for the whole triangle, rounded towards zero so that a span drifts towards its
  // start value rather than past its end.
  const double stepFixed = dzdx * scale;
  const int32_t triangleStep =
      std::fabs(stepFixed) < static_cast<double>(kDepthMax) ? static_cast<int32_t>(stepFixed) : 0;

  detail::EdgeWalker edges[3] = {detail::makeEdge(v0, v1, yFirst), detail::makeEdge(v1, v2, yFirst),
                                 detail::makeEdge(v2, v0, yFirst)};
  for (int y = yFirst; y <= yLast; ++y) {
    int64_t xFirst = clip.x0;
    int64_t xLast = static_cast<int64_t>(clip.x1) - 1;
    bool inside = true;
    for (const detail::EdgeWalker& e : edges) {
      if (e.kind == 0) {
        xFirst = -e.quotient > xFirst ? -e.quotient : xFirst;
      } else if (e.kind == 1) {
        xLast = e.quotient < xLast ? e.quotient : xLast;
      } else {
        inside = inside && e.horizontal >= 0;
      }
    }
    if (inside && xFirst <= xLast) {
      const double rowDepth = z0 + dzdy * (y - originY);
      const int32_t depth =
          detail::clampDepth((rowDepth + dzdx * (static_cast<double>(xFirst) - originX)) * scale);
      int32_t depthStep = triangleStep;
      const int64_t end = depth + static_cast<int64_t>(depthStep) * (xLast - xFirst);
      if (end < 0 || end > kDepthMax) {
        // Where the plane runs out of the depth range (at the near or far plane), aim the step
        // at the clamped far end instead; truncation keeps every pixel between the two ends.
        const double last = (rowDepth + dzdx * (static_cast<double>(xLast) - originX)) * scale;
        depthStep = static_cast<int32_t>(static_cast<double>(detail::clampDepth(last) - depth) /
                                         static_cast<double>(xLast - xFirst));
      }
      sink.span(y, static_cast<int>(xFirst), static_cast<int>(xLast), depth, depthStep);
    }
    for (detail::EdgeWalker& e : edges) {
      e.step();
    }
  }
}

// A one-pixel-wide line from a to b, both ends included as immediate-mode devices draw them by
// default: along the major axis every column (or row) whose centre lies between a and b, the
// minor coordinate rounded to the nearest pixel. Each pixel goes to sink.span as a span of one.
template <class Sink>
void rasterLine(const ScreenVertex& a, const ScreenVertex& b, const PixelRect& clip, Sink& sink) {
  const int64_t dx = static_cast<int64_t>(b.x) - a.x;
  const int64_t dy = static_cast<int64_t>(b.y) - a.y;
  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  const int64_t major = xMajor ? dx : dy;
  if (major == 0) {
    return;
  }
  const int64_t majorStart = xMajor ? a.x : a.y;
  const int64_t minorStart = xMajor ? a.y : a.x;
  const int64_t minorDelta = xMajor ? dy : dx;
  // Pixels whose centre lies in [start, end] along the major axis, in the direction of travel.
  const int64_t direction = major > 0 ? 1 : -1;
  int64_t first, last;
  if (major > 0) {
    first = -detail::floorDiv(-majorStart, kSubpixel);
    last = detail::floorDiv(majorStart + major, kSubpixel);
  } else {
    first = detail::floorDiv(majorStart, kSubpixel);
    last = -detail::floorDiv(-(majorStart + major), kSubpixel);
  }
  // Only the part of the run inside the clip rectangle along the major axis is walked.
  const int64_t lowClip = xMajor ? clip.x0 : clip.y0;
  const int64_t highClip = (xMajor ? clip.x1 : clip.y1) - 1;
  if (direction > 0) {
    first = first > lowClip ? first : lowClip;
    last = last < highClip ? last : highClip;
  } else {
    first = first < highClip ? first : highClip;
    last = last > lowClip ? last : lowClip;
  }
  const double scale = static_cast<double>(1 << kDepthFractionBits);
  for (int64_t p = first; direction > 0 ? p <= last : p >= last; p += direction) {
    const int64_t along = p * kSubpixel - majorStart;  // sub-pixel units travelled from a
    // Minor coordinate in sub-pixel units, then rounded to the nearest whole pixel (halves down).
    const int64_t num = major > 0 ? along * minorDelta : -along * minorDelta;
    const int64_t den = major > 0 ? major : -major;
    const int64_t minor = minorStart + detail::floorDiv(2 * num + den, 2 * den);
    const int64_t q = -detail::floorDiv(-(minor - kSubpixel / 2), kSubpixel);
    const int64_t x = xMajor ? p : q;
    const int64_t y = xMajor ? q : p;
    if (x < clip.x0 || x >= clip.x1 || y < clip.y0 || y >= clip.y1) {
      continue;
    }
    const double t = static_cast<double>(along) / static_cast<double>(major);
    const double depth = (a.depth + (b.depth - a.depth) * t) * scale;
    sink.span(static_cast<int>(y), static_cast<int>(x), static_cast<int>(x),
              detail::clampDepth(depth), 0);
  }
}

}  // namespace tavrik::soft
