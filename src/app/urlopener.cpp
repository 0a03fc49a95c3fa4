#include "app/urlopener.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pod {

namespace {

// The opener's full path, or empty when no folder of PATH has it: a failed
// exec in the detached child could not be reported any more.
std::string findInPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = folders.substr(start, end - start);
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = end + 1;
  }
  return std::string();
}

} // namespace

bool openAddress(const std::string& address, const std::string& failureLine, int* report) {
  if (report)
    *report = -1;
  std::string opener = findInPath("xdg-open");
  if (opener.empty()) {
    std::cerr << failureLine << std::endl;
    return false;
  }
  int pipeEnds[2] = {-1, -1};
  if (report && pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
    pipeEnds[0] = pipeEnds[1] = -1;
  }
  const auto closeEnds = [&pipeEnds] {
    for (int& end : pipeEnds)
      if (end >= 0) {
        close(end);
        end = -1;
      }
  };

  // Built before forking: the children may only make async-signal-safe calls.
  std::string argument = address;
  char* const argv[] = {opener.data(), argument.data(), nullptr};
  const std::string line = failureLine + "\n";

  // The child forks a watcher and leaves at once, so that the game neither
  // waits for the opener (it may run as long as the browser) nor keeps a
  // zombie. The watcher, adopted by init, waits for the opener and reports
  // when it opened nothing: xdg-open exits non-zero when no handler took the
  // address.
  const pid_t child = fork();
  if (child < 0) {
    std::cerr << failureLine << std::endl;
    closeEnds();
    return false;
  }
  if (child == 0) {
    const pid_t watcher = fork();
    if (watcher == 0) {
      const pid_t runner = fork();
      if (runner == 0) {
        // The opener (and the browser it may start) gets none of the game's
        // files: a bot's pipes among them.
        if (close_range(3, ~0u, 0) != 0)
          for (int fd = 3; fd < 1024; ++fd)
            close(fd);
        execv(argv[0], argv);
        _exit(127);
      }
      int status = 0;
      bool opened = false;
      if (runner > 0) {
        while (waitpid(runner, &status, 0) < 0 && errno == EINTR) {
        }
        opened = WIFEXITED(status) && WEXITSTATUS(status) == 0;
      }
      const char outcome = opened ? '1' : '0';
      if (pipeEnds[1] >= 0 && write(pipeEnds[1], &outcome, 1) < 0)
        _exit(1);
      if (!opened && !line.empty() && write(STDERR_FILENO, line.data(), line.size()) < 0)
        _exit(1);
      _exit(opened ? 0 : 1);
    }
    _exit(watcher < 0 ? 1 : 0);
  }
  if (pipeEnds[1] >= 0) {
    close(pipeEnds[1]);
    pipeEnds[1] = -1;
  }
  int status = 0;
  bool started = true;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      started = false;
      break;
    }
  }
  started = started && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (started && report)
    *report = pipeEnds[0];
  else if (pipeEnds[0] >= 0)
    close(pipeEnds[0]);
  return started;
}

OpenOutcome pollOpenReport(int report) {
  if (report < 0)
    return OpenOutcome::Failed;
  char outcome = 0;
  const ssize_t got = read(report, &outcome, 1);
  if (got < 0 && (errno == EAGAIN || errno == EINTR))
    return OpenOutcome::Pending;
  // No byte at all: the watcher ended without a word.
  return got == 1 && outcome == '1' ? OpenOutcome::Opened : OpenOutcome::Failed;
}

std::string fileAddress(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error)
    absolute = path;
  // Anything but plain characters is escaped, spaces in folder names first.
  static const char* const kHex = "0123456789ABCDEF";
  std::string address = "file://";
  for (const unsigned char c : absolute.lexically_normal().string()) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
      address += static_cast<char>(c);
    } else {
      address += '%';
      address += kHex[c >> 4];
      address += kHex[c & 15];
    }
  }
  return address;
}

} // namespace pod
