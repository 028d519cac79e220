#include <gtest/gtest.h>

#include <vector>

#include "host/saver_rules.h"

namespace tavrik {
namespace {

// Each case feeds one run's rules a sequence of inputs; only the last one ends the run.
TEST(ExitRules, EndOnlyOnTheLastInputOfEachSequence) {
  using enum SaverInput;
  std::vector<SaverInput> twentyTwoMoves(22, MouseMove);
  std::vector<SaverInput> movesAcrossOtherInput(10, MouseMove);
  movesAcrossOtherInput.insert(movesAcrossOtherInput.end(), {Wheel, OtherButton, SystemKey});
  movesAcrossOtherInput.insert(movesAcrossOtherInput.end(), 12, MouseMove);
  const std::vector<SaverInput> cases[] = {
      twentyTwoMoves, movesAcrossOtherInput, {Key},
      {LeftButton},   {RightButton},         {MouseMove, Wheel, SystemKey, OtherButton, Key},
  };
  for (const std::vector<SaverInput>& inputs : cases) {
    ExitRules rules;
    for (size_t i = 0; i < inputs.size(); ++i) {
      EXPECT_EQ(rules.ends(inputs[i]), i + 1 == inputs.size()) << "input " << i;
    }
  }
}

}  // namespace
}  // namespace tavrik
