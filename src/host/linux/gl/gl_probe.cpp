#include "host/linux/gl/gl_probe.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "device/gl/gl_renderer.h"
#include "host/linux/gl/pbuffer_target.h"
#include "host/stop_signals.h"

namespace tavrik {

// No window appears, none is touched.
void glxRendererOfNewContext(char* name, size_t size) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    return;
  }
  struct Nowhere : Presenter {
    void present(const FrameView&) override {}
  } nowhere;
  PbufferTarget target(display, nowhere, false);
  const char* renderer =
      target.open(1, 1) ? reinterpret_cast<const char*>(glGetString(GL_RENDERER)) : nullptr;
  if (renderer != nullptr) {
    std::snprintf(name, size, "%s", renderer);
  }
}

namespace {

// Reads what the child writes until it closes the pipe, the deadline passes or a stop signal
// comes; true when the child closed the pipe.
bool readAnswer(int fd, char* name, size_t size) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  size_t used = 0;
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0 || stopRequested()) {
      return false;
    }
    pollfd watched[2] = {{fd, POLLIN, 0}, {stopSignalFd(), POLLIN, 0}};
    if (poll(watched, stopSignalFd() >= 0 ? 2 : 1, static_cast<int>(left)) <= 0) {
      continue;  // a signal or the deadline: both are looked at above
    }
    if ((watched[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
      continue;
    }
    const ssize_t got = read(fd, name + used, size - 1 - used);
    if (got <= 0) {
      name[used] = '\0';
      return true;
    }
    used += static_cast<size_t>(got);
    if (used == size - 1) {
      name[used] = '\0';
      return true;
    }
  }
}

}  // namespace

bool probeGlRenderer(char* name, size_t size, RendererQuestion ask) {
  if (size == 0) {
    return false;
  }
  name[0] = '\0';
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    return false;
  }
  const pid_t child = fork();
  if (child < 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (child == 0) {
    for (const int stop : {SIGTERM, SIGINT, SIGHUP}) {
      signal(stop, SIG_DFL);
    }
    close(fds[0]);
    char renderer[256] = "";
    ask(renderer, sizeof renderer);
    [[maybe_unused]] const ssize_t written = write(fds[1], renderer, std::strlen(renderer));
    _exit(0);  // nothing of the child's is worth tearing down, and no leak check wants to see it
  }
  close(fds[1]);
  const bool answered = readAnswer(fds[0], name, size);
  close(fds[0]);
  if (!answered) {
    kill(child, SIGKILL);
    name[0] = '\0';
  }
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  return name[0] != '\0';
}

bool hardwareGlRenderer() {
  // Asked once: a run stays on its display.
  static const bool hardware = [] {
    char renderer[256];
    return probeGlRenderer(renderer, sizeof renderer) && !isSoftwareRenderer(renderer);
  }();
  return hardware;
}

}  // namespace tavrik
