// The stop signals on POSIX systems: sigaction handlers that note the signal and write a byte
// into a pipe, so that a loop waiting in poll() wakes at once.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "host/stop_signals.h"

namespace tavrik {

namespace {

// A signal handler has no context of its own, so the pipe is process-wide by necessity.
int stopPipe[2] = {-1, -1};
using detail::stopFlag;

void onStopSignal(int signal) {
  const int saved = errno;
  if (stopFlag == 0) {
    stopFlag = signal;  // the first one tells how the program ends
  }
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(stopPipe[1], &byte, 1);
  errno = saved;
}

// Empties the pipe of an earlier stop's bytes, so that it no longer reads as a stop.
void drainPipe() {
  char bytes[64];
  while (read(stopPipe[0], bytes, sizeof bytes) > 0) {
  }
}

}  // namespace

bool installStopSignals() {
  // One pipe serves every run of the process.
  if (stopPipe[0] < 0 && pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    stopPipe[0] = stopPipe[1] = -1;
    return false;
  }
  stopFlag = 0;
  drainPipe();
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
  return true;
}

int stopSignalFd() {
  return stopPipe[0];
}

void endBySignal(int signal) {
  if (signal == 0) {
    return;
  }
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signal);
  sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  raise(signal);
}

}  // namespace tavrik
