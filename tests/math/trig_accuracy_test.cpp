#include <gtest/gtest.h>

#include "math/trig_sweep.h"

namespace tavrik {
namespace {

// A quick sample; bench/trig_accuracy runs the same sweep over ten million arguments.
TEST(TrigAccuracy, WithinOneUlpOfMpfr) {
  const sweep::Tallies t = sweep::run(200000, 20);
  sweep::print(t);
  for (const sweep::Tally* tally : {&t.sine, &t.cosine, &t.arcsine, &t.arctangent}) {
    EXPECT_LE(tally->maxUlps, 1.0) << std::hexfloat << tally->worstArgument;
  }
}

}  // namespace
}  // namespace tavrik
