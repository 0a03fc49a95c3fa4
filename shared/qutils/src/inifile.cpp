#include "qutils/inifile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace qutils {

namespace {

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos)
    return "";
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// Opened without blocking and checked as a regular file on the descriptor
// itself, so that a FIFO or a swapped-in device is refused, not waited on.
bool readBounded(const std::string& path, std::string& text, std::string& why) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    why = errno == ENOENT ? "no such file" : std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    why = "not a regular file";
    return false;
  }
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0) {
      why = std::strerror(errno);
      ::close(fd);
      return false;
    }
    if (n == 0)
      break;
    text.append(buffer, static_cast<std::size_t>(n));
    if (text.size() > cMaxIniBytes) {
      ::close(fd);
      why = "larger than " + std::to_string(cMaxIniBytes / 1024) + " KiB";
      return false;
    }
  }
  ::close(fd);
  return true;
}

} // namespace

bool readIni(const std::string& path, std::map<std::string, std::string>& values,
             std::string& why) {
  values.clear();
  std::string text;
  if (!readBounded(path, text, why))
    return false;
  if (text.find('\0') != std::string::npos) {
    why = "binary content";
    return false;
  }
  std::size_t start = 0;
  int number = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    const std::string line = trimmed(text.substr(start, end - start));
    start = end + 1;
    ++number;
    if (line.empty() || line[0] == '#' || line[0] == ';' ||
        (line.front() == '[' && line.back() == ']'))
      continue;
    const auto equals = line.find('=');
    if (equals == std::string::npos || trimmed(line.substr(0, equals)).empty()) {
      why = "line " + std::to_string(number) + " is not 'key = value'";
      values.clear();
      return false;
    }
    values[trimmed(line.substr(0, equals))] = trimmed(line.substr(equals + 1));
  }
  return true;
}

bool writeFileAtomically(const std::string& path, const std::string& content, std::string& why) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path target(path);
  if (target.has_parent_path())
    fs::create_directories(target.parent_path(), ec);
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) {
    why = "cannot write beside " + path + ": " + std::strerror(errno);
    return false;
  }
  fchmod(fd, 0644);
  std::size_t written = 0;
  bool ok = true;
  while (ok && written < content.size()) {
    const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
    if (n < 0 && errno == EINTR)
      continue;
    ok = n > 0;
    if (ok)
      written += static_cast<std::size_t>(n);
  }
  ok = ok && fsync(fd) == 0;
  if (!ok)
    why = std::string("cannot write ") + path + ": " + std::strerror(errno);
  ok = ::close(fd) == 0 && ok;
  if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
    why = "cannot replace " + path + ": " + std::strerror(errno);
    ok = false;
  }
  if (!ok)
    ::unlink(temporary.c_str());
  return ok;
}

} // namespace qutils
