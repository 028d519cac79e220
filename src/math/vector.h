// Vec3 and Vertex: value types laid out like the device's own vector and vertex records, so
// arrays of them go to the device without conversion.
#pragma once

#include <cmath>

namespace tavrik {

struct Vec3 {
  float x, y, z;

  Vec3() = default;
  constexpr Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

  Vec3& operator+=(const Vec3& b) {
    x += b.x;
    y += b.y;
    z += b.z;
    return *this;
  }
  Vec3& operator-=(const Vec3& b) {
    x -= b.x;
    y -= b.y;
    z -= b.z;
    return *this;
  }
  Vec3& operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
  Vec3& operator/=(float s) {
    x /= s;
    y /= s;
    z /= s;
    return *this;
  }
};
static_assert(sizeof(Vec3) == 12);

inline Vec3 operator+(const Vec3& a, const Vec3& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(const Vec3& a, const Vec3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator-(const Vec3& a) {
  return {-a.x, -a.y, -a.z};
}
inline Vec3 operator*(const Vec3& a, float s) {
  return {a.x * s, a.y * s, a.z * s};
}
inline Vec3 operator*(float s, const Vec3& a) {
  return {a.x * s, a.y * s, a.z * s};
}
inline Vec3 operator/(const Vec3& a, float s) {
  return {a.x / s, a.y / s, a.z / s};
}

inline float Dot(const Vec3& a, const Vec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float LengthSquared(const Vec3& a) {
  return Dot(a, a);
}
inline float Length(const Vec3& a) {
  return static_cast<float>(std::sqrt(static_cast<double>(LengthSquared(a))));
}

// A zero-length vector has no direction; it normalises to zero rather than to NaN so that a
// degenerate case (two craft on one point, a zero velocity) stays finite.
inline Vec3 Normalize(const Vec3& a) {
  const float length = Length(a);
  if (!(length > 0.0f)) {
    return {0.0f, 0.0f, 0.0f};
  }
  return a / length;
}

inline bool IsFinite(const Vec3& a) {
  return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

struct Vertex {
  Vec3 position;
  Vec3 normal;
  float tu, tv;

  Vertex() = default;
  constexpr Vertex(const Vec3& p, const Vec3& n, float u, float v)
      : position(p), normal(n), tu(u), tv(v) {}
};
static_assert(sizeof(Vertex) == 32);

}  // namespace tavrik
