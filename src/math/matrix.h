// Matrix4: sixteen floats, row-major, row vectors on the left (p' = p x M), translation in
// row 3. The builders fill a caller-supplied matrix completely.
#pragma once

#include "math/vector.h"

namespace tavrik {

struct Matrix4 {
  float m[16];

  float& operator()(int row, int column) { return m[row * 4 + column]; }
  float operator()(int row, int column) const { return m[row * 4 + column]; }
};
static_assert(sizeof(Matrix4) == 64);

void SetIdentity(Matrix4& out);
void SetZero(Matrix4& out);
void SetTranslation(Matrix4& out, float x, float y, float z);
void SetScale(Matrix4& out, float x, float y, float z);
void SetRotationX(Matrix4& out, float angle);
void SetRotationY(Matrix4& out, float angle);
void SetRotationZ(Matrix4& out, float angle);
void SetLookAt(Matrix4& out, const Vec3& from, const Vec3& at, float roll);
void SetPerspective(Matrix4& out, float nearPlane, float farPlane, float fov);

// out = a x b: applying out equals applying a first, then b. out must be a third matrix.
void Multiply(const Matrix4& a, const Matrix4& b, Matrix4& out);
void TransformPoint(const Matrix4& m, const Vec3& p, Vec3& out);

}  // namespace tavrik
