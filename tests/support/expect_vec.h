// Compares a vector with an expected one, component by component, within a tolerance.
#pragma once

#include <gtest/gtest.h>

#include "math/vector.h"

namespace tavrik::testing {

inline void expectVec(const Vec3& actual, const Vec3& expected, float tolerance = 1e-4f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

}  // namespace tavrik::testing
