#include "app/urlopener.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

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

bool openAddress(const std::string& address, const std::string& failureLine) {
  std::string opener = findInPath("xdg-open");
  if (opener.empty()) {
    std::cerr << failureLine << std::endl;
    return false;
  }

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
    return false;
  }
  if (child == 0) {
    const pid_t watcher = fork();
    if (watcher == 0) {
      const pid_t runner = fork();
      if (runner == 0) {
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
      if (!opened && !line.empty() && write(STDERR_FILENO, line.data(), line.size()) < 0)
        _exit(1);
      _exit(opened ? 0 : 1);
    }
    _exit(watcher < 0 ? 1 : 0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR)
      return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
