#pragma once

#include "bots/botfault.h"

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pod::bots {

using Clock = std::chrono::steady_clock;

// The first bytes of a bot's standard error that are kept.
constexpr std::size_t kMaxErrorBytes = 64 * 1024;
// And its last lines, for a short report.
constexpr std::size_t kErrorTailLines = 3;
constexpr std::size_t kErrorLineBytes = 200;

// One bot program, started without a shell, talking through pipes. Every
// wait is bounded by a deadline, reads are bounded to lines of
// kMaxLineBytes, and the process with everything it starts (whatever its
// process group or session) is always ended and reaped: by stop(), at the
// latest by the destructor.
class BotProcess {
public:
  enum class Io { Ok, Timeout, Closed, TooLong };

  BotProcess() = default;
  ~BotProcess();
  BotProcess(const BotProcess&) = delete;
  BotProcess& operator=(const BotProcess&) = delete;

  // Runs words[0] (looked up on PATH when it has no slash) with the words as
  // arguments, with nothing open but its three pipes. False, with a one-line
  // reason, when it cannot run; `hostFault` tells a failure of ours (no
  // descriptors or processes left) from one of the bot's command.
  bool start(const std::vector<std::string>& words, std::string* error,
             bool* hostFault = nullptr);
  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }

  // Writes all of `text` unless the bot's input is closed or the deadline
  // passes. Never raises SIGPIPE.
  Io write(std::string_view text, Clock::time_point deadline);

  // Writes what the pipe takes without waiting and removes it from
  // `pending`. Closed when the bot's input is closed. Touches nothing but
  // the input pipe: another thread may read the bot's output meanwhile.
  Io writeNow(std::string& pending);

  // The next line, its newline removed (a carriage return before it is left
  // to the line's parser). TooLong when a line passes kMaxLineBytes: the
  // rest of it is skipped. A deadline in the past only looks at what has
  // arrived.
  Io readLine(std::string& line, Clock::time_point deadline);
  // Output already sent by the bot and not read yet (checks without waiting).
  bool hasUnreadOutput();

  // Waits up to `wait` for the process to end, without reaping it: how it
  // ended ("exited with status 0", "killed by signal 11 (SEGV)"), or empty
  // while it still runs. `crashed` tells a signal from an exit.
  std::string endDescription(std::chrono::milliseconds wait, bool* crashed = nullptr);

  // Ends the bot: closes its input and, when `gentle`, gives it `grace` to
  // leave on its own; then SIGTERM to its process group, `grace` again, then
  // SIGKILL. Reaps it and keeps the rest of its standard error.
  void stop(std::chrono::milliseconds grace, bool gentle);

  // Reads what the bot wrote on standard error so far, without waiting.
  void readErrors() { drainErrors(); }
  const std::string& errorOutput() const { return errors_; }
  // The last lines of its standard error (an unfinished last line too),
  // oldest first, each cut to kErrorLineBytes and made printable.
  std::vector<std::string> lastErrorLines() const;
  std::size_t droppedErrorBytes() const { return droppedErrors_; }
  std::string takeErrorOutput() { return std::move(errors_); }

private:
  bool fillFromOutput(Clock::time_point deadline);
  void drainErrors();
  void closeFd(int& fd);

  pid_t pid_ = -1;
  int toBot_ = -1;
  int fromBot_ = -1;
  int errFromBot_ = -1;
  bool outputClosed_ = false;
  bool skippingLine_ = false;
  std::string buffer_;
  std::size_t scanned_ = 0;
  std::string errors_;
  std::size_t droppedErrors_ = 0;
  std::vector<std::string> errorTail_; // ring of the last complete lines
  std::size_t errorTailNext_ = 0;
  std::string errorLine_; // the line being written
};

// After a bot's output or input closed: crashed, exited, or, while it still
// runs, `ifRunning` (closed output, closed input), with how it ended in
// `detail`. Waits up to `wait` for the exit.
Fault faultOfEnd(BotProcess& process, std::chrono::milliseconds wait, std::string* detail,
                 Fault ifRunning = Fault::ClosedOutput);

// A bot's text made safe to show on one line: control and non-ASCII bytes
// become '?', and it is cut to `limit` bytes.
std::string printableLine(std::string_view text, std::size_t limit);

// Ctrl-C and SIGTERM end every running bot (SIGTERM, a short grace, SIGKILL),
// reap them, print `message` on standard error and exit with 128 + signal.
void installInterruptCleanup(const char* message);

// Bot processes started and not yet reaped, in this process.
int liveBotCount();

} // namespace pod::bots
