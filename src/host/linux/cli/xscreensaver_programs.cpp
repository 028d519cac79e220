#include "host/linux/cli/xscreensaver_programs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "config/quote.h"

namespace tavrik {

namespace {

constexpr std::string_view kResource = "programs:";
constexpr std::string_view kHack = "tavrik";

// The lines of the programs resource: from its first line to the last that continues it.
struct ProgramsBlock {
  size_t begin = std::string_view::npos;  // where its first line starts; npos: no such line
  size_t firstEnd = 0;                    // where its first line ends (at the '\n' or the end)
  size_t end = 0;                         // where its last line ends
};

bool continues(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
    line.remove_suffix(1);
  }
  return !line.empty() && line.back() == '\\';
}

ProgramsBlock findPrograms(std::string_view text) {
  ProgramsBlock block;
  size_t at = 0;
  while (at < text.size()) {
    size_t lineEnd = text.find('\n', at);
    lineEnd = lineEnd == std::string_view::npos ? text.size() : lineEnd;
    const std::string_view line = text.substr(at, lineEnd - at);
    if (block.begin == std::string_view::npos) {
      if (line.substr(0, kResource.size()) == kResource) {
        block.begin = at;
        block.firstEnd = lineEnd;
        block.end = lineEnd;
        if (!continues(line)) {
          return block;
        }
      }
    } else {
      block.end = lineEnd;
      if (!continues(line)) {
        return block;
      }
    }
    at = lineEnd + 1;
  }
  return block;
}

// A word of a command line that runs the hack: its name, or a path that ends in it.
bool isHackWord(std::string_view word) {
  const size_t slash = word.rfind('/');
  return (slash == std::string_view::npos ? word : word.substr(slash + 1)) == kHack;
}

}  // namespace

std::string programsEntry(std::string_view command) {
  return "  \"TAVRIK\"  " + std::string(command) + " --root";
}

bool programsRunHack(std::string_view text) {
  const ProgramsBlock block = findPrograms(text);
  if (block.begin == std::string_view::npos) {
    return false;
  }
  const std::string_view list =
      text.substr(block.begin + kResource.size(), block.end - block.begin - kResource.size());
  size_t at = 0;
  while (at < list.size()) {
    const size_t start = list.find_first_not_of(" \t\r\n\\\"", at);
    if (start == std::string_view::npos) {
      break;
    }
    size_t stop = list.find_first_of(" \t\r\n\\\"", start);
    stop = stop == std::string_view::npos ? list.size() : stop;
    if (isHackWord(list.substr(start, stop - start))) {
      return true;
    }
    at = stop;
  }
  return false;
}

std::string withProgramsEntry(std::string_view text, std::string_view command) {
  if (programsRunHack(text)) {
    return std::string(text);
  }
  const std::string entry = programsEntry(command);
  const ProgramsBlock block = findPrograms(text);
  std::string out;
  if (block.begin == std::string_view::npos) {
    // XScreenSaver merges this list with its defaults file's, whose programs stay after it.
    out = text;
    if (!out.empty() && out.back() != '\n') {
      out += '\n';
    }
    return out + "programs:\t\\\n" + entry + " \\n\n";
  }
  const std::string_view first = text.substr(block.begin, block.firstEnd - block.begin);
  out = text.substr(0, block.begin);
  if (continues(first)) {
    // The first entry, before whatever the list holds.
    out.append(first).append("\n").append(entry).append(" \\n\\");
    out.append(text.substr(block.firstEnd));
    return out;
  }
  // A list on one line: continued, the entry first and the line's own value after it.
  std::string_view value = first.substr(kResource.size());
  const bool crlf = !value.empty() && value.back() == '\r';
  if (crlf) {
    value.remove_suffix(1);
  }
  const size_t start = value.find_first_not_of(" \t");
  out.append(kResource).append("\t\\\n").append(entry).append(" \\n");
  if (start != std::string_view::npos) {
    out.append("\\\n  ").append(value.substr(start));
  }
  if (crlf) {
    out += '\r';
  }
  out.append(text.substr(block.firstEnd));
  return out;
}

bool addToXScreenSaver(const std::string& path, std::string_view command) {
  // A link stays a link: its target is what gets replaced.
  char resolved[PATH_MAX];
  const std::string target = realpath(path.c_str(), resolved) != nullptr ? resolved : path;
  std::string text;
  struct stat status {};
  const bool exists = stat(target.c_str(), &status) == 0;
  if (exists) {
    std::ifstream in(target, std::ios::binary);
    std::ostringstream read;
    read << in.rdbuf();
    if (!in.good() && !in.eof()) {
      std::fprintf(stderr, "tavrik: cannot read %s: %s\n", quotedValue(path).c_str(),
                   std::strerror(errno));
      return false;
    }
    text = read.str();
  }
  if (programsRunHack(text)) {
    std::printf("tavrik: the programs of %s run tavrik already; nothing changed\n",
                quotedValue(path).c_str());
    return true;
  }
  const std::string updated = withProgramsEntry(text, command);
  std::string temporary = target + ".tavrik-XXXXXX";
  const int fd = mkstemp(temporary.data());
  bool written = fd >= 0;
  if (written) {
    fchmod(fd, exists ? (status.st_mode & 07777) : 0644);
    size_t done = 0;
    while (written && done < updated.size()) {
      const ssize_t n = write(fd, updated.data() + done, updated.size() - done);
      written = n > 0;
      done += n > 0 ? static_cast<size_t>(n) : 0;
    }
    written = fsync(fd) == 0 && written;
    written = close(fd) == 0 && written;
    written = written && rename(temporary.c_str(), target.c_str()) == 0;
  }
  if (!written) {
    const int error = errno;
    if (fd >= 0) {
      unlink(temporary.c_str());
    }
    std::fprintf(stderr, "tavrik: cannot write %s: %s\n", quotedValue(path).c_str(),
                 std::strerror(error));
    return false;
  }
  std::printf(
      "tavrik: added TAVRIK to the programs of %s; choose it in xscreensaver-settings, with "
      "Mode: Only One Screen Saver\n",
      quotedValue(path).c_str());
  return true;
}

}  // namespace tavrik
