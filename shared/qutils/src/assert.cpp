#include "qutils/assert.h"

#include <atomic>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qutils {

namespace {

std::atomic<AssertHandler> gHandler{&defaultAssertHandler};

bool debuggerAttached() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status)
    return false;
  char line[256];
  bool traced = false;
  while (std::fgets(line, sizeof line, status)) {
    if (std::strncmp(line, "TracerPid:", 10) == 0) {
      traced = std::atoi(line + 10) != 0;
      break;
    }
  }
  std::fclose(status);
  return traced;
}

} // namespace

int defaultAssertHandler(const char* condition, const char* message,
                         const char* file, int line) {
  std::printf("%s(%d): Assert Failure: ", file, line);
  if (condition)
    std::printf("'%s' ", condition);
  if (message)
    std::printf("%s", message);
  std::printf("\n");
  std::fflush(stdout);
  return 0;
}

void setAssertHandler(AssertHandler handler) {
  gHandler.store(handler ? handler : &defaultAssertHandler);
}

AssertHandler getAssertHandler() { return gHandler.load(); }

int reportAssertFailure(const char* condition, const char* file, int line,
                        const char* format, ...) {
  char buffer[1024];
  const char* message = nullptr;
  if (format) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    message = buffer;
  }
  return gHandler.load()(condition, message, file, line);
}

void halt() {
  std::fflush(stdout);
  std::fflush(stderr);
  if (debuggerAttached())
    std::raise(SIGTRAP);
  std::abort();
}

} // namespace qutils
