#include "race/smallfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace pod {

namespace {

std::string sizeText(std::size_t bytes) {
  if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
    return std::to_string(bytes >> 20) + " MiB";
  if (bytes >= 1024 && bytes % 1024 == 0)
    return std::to_string(bytes >> 10) + " KiB";
  return std::to_string(bytes) + " bytes";
}

// Closes the descriptor on every way out.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0)
      ::close(fd);
  }
};

} // namespace

bool readSmallFile(const std::string& path, std::size_t maxBytes, std::string& content,
                   std::string& error) {
  namespace fs = std::filesystem;
  content.clear();
  std::error_code code;
  const fs::file_status status = fs::status(path, code);
  if (code || !fs::exists(status)) {
    error = "cannot open " + path;
    return false;
  }
  if (fs::is_directory(status)) {
    error = path + " is a directory";
    return false;
  }
  if (!fs::is_regular_file(status)) {
    error = path + " is not a regular file";
    return false;
  }
  const std::string tooLarge = path + " is larger than " + sizeText(maxBytes);

  // Non-blocking, so that a fifo put in the file's place after the check
  // cannot make the open wait; the descriptor is checked again below.
  Descriptor file;
  file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  struct stat info {};
  if (file.fd < 0 || ::fstat(file.fd, &info) != 0) {
    error = "cannot open " + path;
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    error = path + " is not a regular file";
    return false;
  }
  if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
    error = tooLarge;
    return false;
  }
  content.reserve(static_cast<std::size_t>(info.st_size));
  char chunk[8192];
  for (;;) {
    const ssize_t n = ::read(file.fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0) {
      error = "cannot read " + path;
      content.clear();
      return false;
    }
    if (n == 0)
      return true;
    if (content.size() + static_cast<std::size_t>(n) > maxBytes) {
      error = tooLarge;
      content.clear();
      return false;
    }
    content.append(chunk, static_cast<std::size_t>(n));
  }
}

} // namespace pod
