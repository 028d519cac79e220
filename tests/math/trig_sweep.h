#pragma once

// The sine family against MPFR's correctly rounded results over the arguments the motion uses:
// the scene clock's angles for the first hours and for years, float angles, elevations and lens
// tangents, and dense samples next to multiples of pi/2.
#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>

#include "math/trig.h"

namespace tavrik::sweep {

enum class Function { sine, cosine, arcsine, arctangent };

struct Tally {
  uint64_t count = 0;
  uint64_t misrounded = 0;
  double maxUlps = 0.5;  // a correctly rounded result is within half an ulp
  double worstArgument = 0.0;
};

class Reference {
 public:
  Reference() {
    mpfr_inits2(53, x_, rounded_, static_cast<mpfr_ptr>(nullptr));
    mpfr_inits2(160, exact_, difference_, static_cast<mpfr_ptr>(nullptr));
  }
  ~Reference() { mpfr_clears(x_, rounded_, exact_, difference_, static_cast<mpfr_ptr>(nullptr)); }
  Reference(const Reference&) = delete;
  Reference& operator=(const Reference&) = delete;

  void check(Function f, double x, Tally& tally) {
    const double got = ours(f, x);
    mpfr_set_d(x_, x, MPFR_RNDN);
    evaluate(f, rounded_);
    const double correct = mpfr_get_d(rounded_, MPFR_RNDN);
    ++tally.count;
    if (got == correct) {
      return;
    }
    ++tally.misrounded;
    evaluate(f, exact_);
    mpfr_set_d(difference_, got, MPFR_RNDN);
    mpfr_sub(difference_, difference_, exact_, MPFR_RNDN);
    int exponent = 0;
    std::frexp(correct, &exponent);
    const double ulps =
        std::fabs(mpfr_get_d(difference_, MPFR_RNDN)) / std::ldexp(1.0, exponent - 53);
    if (ulps > tally.maxUlps) {
      tally.maxUlps = ulps;
      tally.worstArgument = x;
    }
  }

 private:
  static double ours(Function f, double x) {
    switch (f) {
      case Function::sine:
        return Sin(x);
      case Function::cosine:
        return Cos(x);
      case Function::arcsine:
        return Asin(x);
      default:
        return Atan(x);
    }
  }

  void evaluate(Function f, mpfr_t out) {
    switch (f) {
      case Function::sine:
        mpfr_sin(out, x_, MPFR_RNDN);
        break;
      case Function::cosine:
        mpfr_cos(out, x_, MPFR_RNDN);
        break;
      case Function::arcsine:
        mpfr_asin(out, x_, MPFR_RNDN);
        break;
      default:
        mpfr_atan(out, x_, MPFR_RNDN);
        break;
    }
  }

  mpfr_t x_;
  mpfr_t rounded_;
  mpfr_t exact_;
  mpfr_t difference_;
};

struct Tallies {
  Tally sine;
  Tally cosine;
  Tally arcsine;
  Tally arctangent;
};

inline void print(const char* name, const Tally& t) {
  if (t.misrounded == 0) {
    std::printf("%-5s %10llu arguments  every result correctly rounded (max error <= 0.5 ulp)\n",
                name, static_cast<unsigned long long>(t.count));
    return;
  }
  std::printf("%-5s %10llu arguments  max error %.3f ulp at %a  misrounded %llu\n", name,
              static_cast<unsigned long long>(t.count), t.maxUlps, t.worstArgument,
              static_cast<unsigned long long>(t.misrounded));
}

inline void print(const Tallies& t) {
  print("sin", t.sine);
  print("cos", t.cosine);
  print("asin", t.arcsine);
  print("atan", t.arctangent);
}

// n arguments for sine and cosine (each checked with both), n / 10 for each arc function.
inline Tallies run(uint64_t n, uint64_t seed) {
  Reference reference;
  Tallies out;
  std::mt19937_64 random(seed);
  const auto uniform = [&random](double lo, double hi) {
    return lo + (hi - lo) * (static_cast<double>(random() >> 11) * 0x1p-53);
  };
  const auto sineAndCosine = [&](double x) {
    reference.check(Function::sine, x, out.sine);
    reference.check(Function::cosine, x, out.cosine);
  };
  constexpr double kHalfPi = 1.5707963267948966;
  for (uint64_t i = 0; i < n; ++i) {
    switch (i % 6) {
      case 0:  // the first hours: rates up to 0.1 of a clock below 30000
        sineAndCosine(uniform(-400.0, 3000.0));
        break;
      case 1:  // years: the clock's angles up to 2^32, every binade alike
        sineAndCosine((i & 8 ? -1.0 : 1.0) * std::exp2(uniform(0.0, 32.0)));
        break;
      case 2:  // float angles of the rotations, and elevations
        sineAndCosine(i & 8 ? static_cast<double>(static_cast<float>(uniform(-1e6, 1e6)))
                            : uniform(-kHalfPi, kHalfPi));
        break;
      case 3:  // next to the multiples of pi/2 below 2^22, a few thousand ulps either side
      case 4: {
        const double k = std::floor(uniform(1.0, 0x1p22));
        const double x = k * kHalfPi;
        sineAndCosine(x + std::ldexp(uniform(-4096.0, 4096.0), std::ilogb(x) - 52));
        break;
      }
      default:  // next to the multiples below 16, where the results are smallest
        sineAndCosine(std::nextafter(std::floor(uniform(1.0, 11.0)) * kHalfPi, 0.0) +
                      uniform(-0x1p-40, 0x1p-40));
        break;
    }
    if (i % 10 == 0) {
      const double a =
          (i & 16) ? uniform(-1.0, 1.0)
                   : std::copysign(1.0 - std::exp2(-uniform(1.0, 50.0)), uniform(-1.0, 1.0));
      reference.check(Function::arcsine, a, out.arcsine);
      const double t = (i & 16) ? uniform(-4.0, 4.0) : std::exp2(uniform(-10.0, 20.0));
      reference.check(Function::arctangent, t, out.arctangent);
    }
  }
  return out;
}

}  // namespace tavrik::sweep
