// The stop signals on Windows: std::signal handlers that note the signal (Ctrl+C, Ctrl+Break, and
// SIGTERM as the C library raises it). Nothing here can wake a waiting loop, so there is no
// descriptor to poll.
#include <csignal>

#include "host/stop_signals.h"

namespace tavrik {

namespace {

using detail::stopFlag;

void onStopSignal(int signal) {
  if (stopFlag == 0) {
    stopFlag = signal;  // the first one tells how the program ends
  }
}

}  // namespace

bool installStopSignals() {
  stopFlag = 0;
  std::signal(SIGINT, onStopSignal);
  std::signal(SIGTERM, onStopSignal);
#ifdef SIGHUP  // not on Windows
  std::signal(SIGHUP, onStopSignal);
#endif
#ifdef SIGBREAK  // Windows only: Ctrl+Break
  std::signal(SIGBREAK, onStopSignal);
#endif
  return true;
}

int stopSignalFd() {
  return -1;
}

void endBySignal(int signal) {
  if (signal == 0) {
    return;
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace tavrik
