#pragma once

// Assertions stay active in every build type. A failed assertion formats its
// message and hands it to the current handler; a handler that returns 0 stops
// the program (at a debugger break when one is attached, else by abort).

namespace qutils {

using AssertHandler = int (*)(const char* condition, const char* message,
                              const char* file, int line);

// Prints "file(line): Assert Failure: 'condition' message" on standard output.
int defaultAssertHandler(const char* condition, const char* message,
                         const char* file, int line);

void setAssertHandler(AssertHandler handler);
AssertHandler getAssertHandler();

// Formats the optional printf-style message (at most 1024 characters) and
// calls the handler. Returns the handler's answer: non-zero means continue.
int reportAssertFailure(const char* condition, const char* file, int line,
                        const char* format = nullptr, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;

// Debugger break when traced, otherwise a clean abort after flushing output.
[[noreturn]] void halt();

} // namespace qutils

#define Q_ASSERT(cond)                                                        \
  do {                                                                        \
    if (!(cond)) {                                                            \
      if (::qutils::reportAssertFailure(#cond, __FILE__, __LINE__) == 0)      \
        ::qutils::halt();                                                     \
    }                                                                         \
  } while (0)

#define Q_ASSERT_MSG(cond, ...)                                               \
  do {                                                                        \
    if (!(cond)) {                                                            \
      if (::qutils::reportAssertFailure(#cond, __FILE__, __LINE__,            \
                                        __VA_ARGS__) == 0)                    \
        ::qutils::halt();                                                     \
    }                                                                         \
  } while (0)

// Reports a failure through the handler but never stops: for safety stops
// that the program survives (the caller carries on with a sound fallback).
#define Q_REPORT(cond)                                                        \
  do {                                                                        \
    if (!(cond))                                                              \
      (void)::qutils::reportAssertFailure(#cond, __FILE__, __LINE__);         \
  } while (0)
