#include "host/linux/settings_launcher.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "config/quote.h"
#include "host/stop_signals.h"

namespace tavrik {

namespace {

constexpr const char* kSettingsProgram = "tavrik-settings";

// Starts the dialog as a child that ends with us even when we are killed outright. The child
// reports a failed exec through a close-on-exec pipe; the result is 0 or that errno.
int startChild(const char* program, char** argv, pid_t& child) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    return errno;
  }
  const pid_t parent = getpid();
  child = fork();
  if (child == 0) {
    close(report[0]);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    int failure = 0;
    if (getppid() == parent) {  // else the saver ended before the request took hold
      execv(program, argv);
      failure = errno;
    }
    [[maybe_unused]] const ssize_t n = write(report[1], &failure, sizeof failure);
    _exit(127);
  }
  const int forkError = child < 0 ? errno : 0;
  close(report[1]);
  int failure = forkError;
  if (child > 0) {
    ssize_t n;
    do {
      n = read(report[0], &failure, sizeof failure);
    } while (n < 0 && errno == EINTR);
    if (n != static_cast<ssize_t>(sizeof failure)) {
      failure = 0;  // the pipe closed on exec: the dialog runs
    } else {
      waitpid(child, nullptr, 0);
    }
  }
  close(report[0]);
  return failure;
}

bool executable(const std::string& path) {
  return !path.empty() && access(path.c_str(), X_OK) == 0;
}

std::string ownFolder() {
  char buffer[4096];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) {
    return {};
  }
  const std::string_view path(buffer, static_cast<size_t>(length));
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

}  // namespace

std::string findSettingsProgram() {
  const std::string own = ownFolder();
  const std::string beside = own + "/" + kSettingsProgram;
  if (executable(beside)) {
    return beside;
  }
  // The install's folders as seen from the program's own, so that an install moved to any prefix
  // (a staging folder, a home folder) finds its own dialog before the configured one.
#ifdef TAVRIK_SETTINGS_FROM_OWN
  for (const char* relative : {TAVRIK_SETTINGS_FROM_OWN}) {
    const std::string installed = own + "/" + relative + "/" + kSettingsProgram;
    if (!own.empty() && executable(installed)) {
      return installed;
    }
  }
#endif
#ifdef TAVRIK_LIBEXECDIR
  const std::string installed = std::string(TAVRIK_LIBEXECDIR) + "/" + kSettingsProgram;
  if (executable(installed)) {
    return installed;
  }
#endif
  const char* path = std::getenv("PATH");
  std::string_view folders = path != nullptr ? path : "";
  while (!folders.empty()) {
    const size_t colon = folders.find(':');
    const std::string_view folder = folders.substr(0, colon);
    folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
    if (!folder.empty()) {
      const std::string candidate = std::string(folder) + "/" + kSettingsProgram;
      if (executable(candidate)) {
        return candidate;
      }
    }
  }
  return {};
}

int runSettingsDialog(uint64_t owner) {
  const std::string program = findSettingsProgram();
  if (program.empty()) {
    std::fprintf(stderr, "tavrik: the settings dialog (%s) is not installed\n", kSettingsProgram);
    return 1;
  }
  const std::string ownerText = std::to_string(owner);
  std::string args[] = {program, "--owner", ownerText};
  char* argv[] = {args[0].data(), args[1].data(), args[2].data(), nullptr};
  if (owner == 0) {
    argv[1] = nullptr;
  }
  pid_t child = 0;
  const int failed = startChild(program.c_str(), argv, child);
  if (failed != 0) {
    std::fprintf(stderr, "tavrik: cannot start %s: %s\n", quotedValue(program).c_str(),
                 std::strerror(failed));
    return 1;
  }
  // A stop signal is passed on, so the dialog does not outlive the saver that opened it.
  bool forwarded = false;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(child, &status, forwarded ? 0 : WNOHANG);
    if (done == child || (done < 0 && errno != EINTR)) {
      return 0;
    }
    if (!forwarded && stopRequested()) {
      kill(child, SIGTERM);
      forwarded = true;
      continue;
    }
    if (!forwarded) {
      pollfd stop{stopSignalFd(), POLLIN, 0};
      poll(&stop, stopSignalFd() >= 0 ? 1 : 0, 100);
    }
  }
}

}  // namespace tavrik
