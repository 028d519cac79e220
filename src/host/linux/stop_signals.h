// SIGTERM, SIGINT and SIGHUP (the terminal or the session went away) end every mode cleanly: the
// handler only writes a byte into a pipe, and the mode's loop, which watches the pipe, tears
// everything down on its own time.
#pragma once

namespace tavrik {

// Installs the handlers; false when the pipe cannot be made (the signals then keep their
// default action).
bool installStopSignals();
bool stopRequested();
// The pipe's read end, for poll(); -1 when there is none.
int stopSignalFd();

}  // namespace tavrik
