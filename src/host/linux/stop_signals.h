// SIGTERM, SIGINT and SIGHUP (the terminal or the session went away) end every mode cleanly: the
// handler only writes a byte into a pipe and notes the signal, and the mode's loop, which watches
// the pipe, tears everything down on its own time. Then the program ends by that same signal, as
// Unix programs do, so its parent sees it killed by SIGTERM rather than a success.
#pragma once

namespace tavrik {

// Installs the handlers; false when the pipe cannot be made (the signals then keep their
// default action).
bool installStopSignals();
bool stopRequested();
// The signal that asked for the stop, or 0.
int stopSignal();
// The pipe's read end, for poll(); -1 when there is none.
int stopSignalFd();

// After the clean-up: when signal is not 0, restores its default action and raises it again, so
// the process ends killed by it. Returns only when signal is 0 (or the signal did not kill).
void endBySignal(int signal);

}  // namespace tavrik
