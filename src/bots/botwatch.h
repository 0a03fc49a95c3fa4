#pragma once

#include <signal.h>
#include <sys/types.h>

namespace pod::bots::watch {

// Every bot runs under a watcher: a child of ours that starts the bot and
// is the nearest child subreaper of everything the bot starts, so whatever
// the bot leaves behind (in any process group or session) comes back to the
// watcher, which kills it before it leaves. The watcher ends as the bot
// did: same exit status, or the same signal.

// Passed on to the bot's process group.
constexpr int kForward = SIGTERM;
// The bot's process group, then every process the watcher still has.
constexpr int kKillAll = SIGUSR1;

// What the watcher tells us on the report pipe before it closes it.
struct Report {
  int kind;
  int value;
};
enum ReportKind : int { kStarted = 1, kExecFailed = 2, kForkFailed = 3 };

struct Plan {
  const char* program;
  char* const* argv;
  int in;     // becomes the bot's standard input
  int out;    // its standard output
  int err;    // its standard error
  int report; // close-on-exec, to the host
  pid_t host; // the process that forked the watcher
  int maxFd;  // above every descriptor that may be open
};

// Runs in the child right after fork, so only async-signal-safe calls: no
// allocation, no locks. Never returns.
[[noreturn]] void runWatcher(const Plan& plan);

// Closes every descriptor from `first` on (maxFd bounds the fallback loop
// when the kernel has no close_range). Async-signal-safe.
void closeFrom(int first, int maxFd);

} // namespace pod::bots::watch
