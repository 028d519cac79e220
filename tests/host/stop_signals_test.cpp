#include <gtest/gtest.h>

#include <csignal>

#include "host/stop_signals.h"

namespace tavrik {
namespace {

TEST(StopSignals, TheFirstSignalIsKeptUntilTheNextInstall) {
  ASSERT_TRUE(installStopSignals());
  EXPECT_FALSE(stopRequested());
  std::raise(SIGTERM);
  std::raise(SIGINT);
  EXPECT_TRUE(stopRequested());
  EXPECT_EQ(stopSignal(), SIGTERM);
  ASSERT_TRUE(installStopSignals());
  EXPECT_FALSE(stopRequested());
  EXPECT_EQ(stopSignal(), 0);
  endBySignal(0);  // returns: there is nothing to end by
}

}  // namespace
}  // namespace tavrik
