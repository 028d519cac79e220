#include "math/matrix.h"

#include "math/trig.h"

namespace tavrik {

namespace {

struct SineCosine {
  float s;
  float c;
};

SineCosine sineCosineOf(double angle) {
  SineCosine out{};
  SinCosF(angle, out.s, out.c);
  return out;
}

// A turn by angle in the plane of axes a and b, from a towards b as the builders below have it
// (row vectors: a point on a goes to cos a + sin b).
void SetPlaneRotation(Matrix4& out, float angle, int a, int b) {
  const auto [s, c] = sineCosineOf(static_cast<double>(angle));
  SetIdentity(out);
  out(a, a) = c;
  out(a, b) = s;
  out(b, a) = -s;
  out(b, b) = c;
}

}  // namespace

void SetZero(Matrix4& out) {
  for (float& e : out.m) {
    e = 0.0f;
  }
}

void SetIdentity(Matrix4& out) {
  SetZero(out);
  for (int i = 0; i < 4; ++i) {
    out(i, i) = 1.0f;
  }
}

void SetTranslation(Matrix4& out, float x, float y, float z) {
  SetIdentity(out);
  out(3, 0) = x;
  out(3, 1) = y;
  out(3, 2) = z;
}

void SetScale(Matrix4& out, float x, float y, float z) {
  SetIdentity(out);
  out(0, 0) = x;
  out(1, 1) = y;
  out(2, 2) = z;
}

void SetRotationX(Matrix4& out, float angle) {
  SetPlaneRotation(out, angle, 1, 2);
}

void SetRotationY(Matrix4& out, float angle) {
  SetPlaneRotation(out, angle, 2, 0);
}

void SetRotationZ(Matrix4& out, float angle) {
  SetPlaneRotation(out, angle, 0, 1);
}

void SetLookAt(Matrix4& out, const Vec3& from, const Vec3& at, float roll) {
  SetIdentity(out);
  const Vec3 dir = Normalize(at - from);
  Vec3 right = Cross(Vec3(0.0f, 1.0f, 0.0f), dir);
  Vec3 up = Cross(dir, right);
  right = Normalize(right);
  up = Normalize(up);
  out(0, 0) = right.x;
  out(1, 0) = right.y;
  out(2, 0) = right.z;
  out(0, 1) = up.x;
  out(1, 1) = up.y;
  out(2, 1) = up.z;
  out(0, 2) = dir.x;
  out(1, 2) = dir.y;
  out(2, 2) = dir.z;
  out(3, 0) = -Dot(right, from);
  out(3, 1) = -Dot(up, from);
  out(3, 2) = -Dot(dir, from);
  if (roll != 0.0f) {
    Matrix4 rotation;
    SetRotationZ(rotation, -roll);
    Matrix4 rolled;
    Multiply(rotation, out, rolled);
    out = rolled;
  }
}

void SetPerspective(Matrix4& out, float nearPlane, float farPlane, float fov) {
  const auto [s, c] = sineCosineOf(static_cast<double>(fov) * 0.5);
  const float q = s / (1.0f - nearPlane / farPlane);
  SetZero(out);
  out(0, 0) = c;
  out(1, 1) = c;
  out(2, 2) = q;
  out(2, 3) = s;
  out(3, 2) = -q * nearPlane;
}

void Multiply(const Matrix4& a, const Matrix4& b, Matrix4& out) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      out(i, j) = a(i, 0) * b(0, j) + a(i, 1) * b(1, j) + a(i, 2) * b(2, j) + a(i, 3) * b(3, j);
    }
  }
}

void TransformPoint(const Matrix4& m, const Vec3& p, Vec3& out) {
  const float x = p.x * m(0, 0) + p.y * m(1, 0) + p.z * m(2, 0) + m(3, 0);
  const float y = p.x * m(0, 1) + p.y * m(1, 1) + p.z * m(2, 1) + m(3, 1);
  const float z = p.x * m(0, 2) + p.y * m(1, 2) + p.z * m(2, 2) + m(3, 2);
  const float w = p.x * m(0, 3) + p.y * m(1, 3) + p.z * m(2, 3) + m(3, 3);
  out = Vec3(x / w, y / w, z / w);
}

}  // namespace tavrik
