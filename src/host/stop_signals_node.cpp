// The stop signals of the runner under Node. Node hands a signal to JavaScript only between turns
// of its event loop, and a run's frames are one long call into WebAssembly, so asking whether a
// stop arrived lets one turn pass first (through Asyncify, on setImmediate: microseconds). The
// listeners note the signal in the same flag the other builds' handlers set.
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <cstdio>

#include "host/stop_signals.h"

// clang-format off
EM_JS(void, tavrikListenForStops, (volatile int* flag), {
  const listen = function(name, number) {
    process.removeAllListeners(name);
    process.on(name, function() {
      if (HEAP32[flag >> 2] === 0) {
        HEAP32[flag >> 2] = number;  // the first one tells how the runner ends
      }
    });
  };
  listen('SIGHUP', 1);
  listen('SIGINT', 2);
  listen('SIGTERM', 15);
});

EM_ASYNC_JS(void, tavrikLetNodeTurn, (), {
  await new Promise((resolve) => setImmediate(resolve));
});

// With no listener left Node gives the signal its default action again, which ends the process.
EM_JS(void, tavrikEndBy, (int number), {
  const name = number === 1 ? 'SIGHUP' : number === 2 ? 'SIGINT' : 'SIGTERM';
  process.removeAllListeners(name);
  process.kill(process.pid, name);
});
// clang-format on

namespace tavrik {

bool installStopSignals() {
  detail::stopFlag = 0;
  tavrikListenForStops(&detail::stopFlag);
  return true;
}

bool stopRequested() {
  tavrikLetNodeTurn();
  return detail::stopFlag != 0;
}

int stopSignalFd() {
  return -1;
}

void endBySignal(int signal) {
  if (signal == 0) {
    return;
  }
  std::fflush(nullptr);
  tavrikEndBy(signal);
}

}  // namespace tavrik
