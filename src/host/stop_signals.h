// SIGTERM, SIGINT and SIGHUP (where the system has it) end a run cleanly: the handler only notes
// the signal, and the loop that runs the mode sees it and tears everything down on its own time,
// a headless run after its current frame so that its trace and pictures are whole. Then the
// program ends by that same signal, as Unix programs do, so its parent sees it killed by SIGTERM
// rather than a success. The build chooses the mechanism: on POSIX systems the handler also
// writes a byte into a pipe that a loop can wait on with poll(); under Node, listeners on its
// process; elsewhere plain std::signal.
#pragma once

#include <csignal>

namespace tavrik {

namespace detail {
// A signal handler has no context of its own, so the signal's number is process-wide by
// necessity; only the handlers write it.
inline volatile std::sig_atomic_t stopFlag = 0;
}  // namespace detail

// Installs the handlers and forgets any stop asked for before; false when the signals cannot be
// watched (they then keep their default action).
bool installStopSignals();
#ifdef __EMSCRIPTEN__
// Under Node a signal arrives only between turns of its event loop: asking lets one turn pass.
bool stopRequested();
#else
inline bool stopRequested() {
  return detail::stopFlag != 0;
}
#endif
// The signal that asked for the stop, or 0.
inline int stopSignal() {
  return detail::stopFlag;
}
// A descriptor that becomes readable on a stop, for poll(); -1 when there is none.
int stopSignalFd();

// After the clean-up: when signal is not 0, restores its default action and raises it again, so
// the process ends killed by it. Returns only when signal is 0 (or the signal did not kill).
void endBySignal(int signal);

}  // namespace tavrik
