#include "bots/botprocess.h"

#include "bots/botwatch.h"
#include "bots/protocol.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>

namespace pod::bots {

namespace {

// Live children, readable from a signal handler: no locks, no allocation.
constexpr int kSlots = 1024;
std::atomic<pid_t> gLive[kSlots];
std::atomic<int> gLiveCount{0};
const char* gInterruptMessage = "";

void track(pid_t pid) {
  for (auto& slot : gLive) {
    pid_t empty = 0;
    if (slot.compare_exchange_strong(empty, pid)) {
      ++gLiveCount;
      return;
    }
  }
}

void untrack(pid_t pid) {
  for (auto& slot : gLive) {
    pid_t expected = pid;
    if (slot.compare_exchange_strong(expected, 0)) {
      --gLiveCount;
      return;
    }
  }
}

void pauseMs(long ms) {
  timespec t{ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&t, &t) == -1 && errno == EINTR) {
  }
}

extern "C" void onInterrupt(int sig) {
  // Each slot holds a watcher: it passes SIGTERM on to its bot, and on
  // kKillAll kills the bot and whatever it started before it leaves.
  for (auto& slot : gLive)
    if (const pid_t p = slot.load(); p > 0)
      kill(p, watch::kForward);
  pauseMs(200);
  for (auto& slot : gLive)
    if (const pid_t p = slot.load(); p > 0) {
      kill(p, watch::kKillAll);
      while (waitpid(p, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
  const std::size_t n = std::strlen(gInterruptMessage);
  if (n > 0 && ::write(STDERR_FILENO, gInterruptMessage, n) < 0) {
  }
  _exit(128 + sig);
}

void prepareOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    // A dead bot's pipe must not kill us: writes then fail with EPIPE.
    signal(SIGPIPE, SIG_IGN);
  });
}

bool isExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string findProgram(const std::string& name, std::string* error) {
  if (name.find('/') != std::string::npos) {
    if (isExecutableFile(name))
      return name;
    *error = access(name.c_str(), F_OK) == 0 ? "'" + name + "' is not an executable file"
                                              : "no such file: '" + name + "'";
    return {};
  }
  const char* env = std::getenv("PATH");
  const std::string path = env && *env ? env : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find(':', start);
    std::string dir = path.substr(start, end == std::string::npos ? end : end - start);
    if (dir.empty())
      dir = ".";
    const std::string candidate = dir + "/" + name;
    if (isExecutableFile(candidate))
      return candidate;
    if (end == std::string::npos)
      break;
    start = end + 1;
  }
  *error = "command not found: '" + name + "'";
  return {};
}

void setNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

int msUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
  if (left.count() <= 0)
    return 0;
  return static_cast<int>((left.count() + 999) / 1000);
}

bool exited(pid_t pid, int* status) {
  siginfo_t info{};
  if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
    return true; // already reaped, or not ours: nothing to wait for
  if (info.si_pid == 0)
    return false;
  if (status)
    *status = info.si_code == CLD_EXITED ? info.si_status : -info.si_status;
  return true;
}

bool waitExit(pid_t pid, std::chrono::milliseconds wait, int* status) {
  const auto deadline = Clock::now() + wait;
  long pause = 1;
  while (!exited(pid, status)) {
    if (Clock::now() >= deadline)
      return false;
    pauseMs(pause);
    pause = std::min(pause * 2, 20L);
  }
  return true;
}

} // namespace

int liveBotCount() { return gLiveCount.load(); }

void installInterruptCleanup(const char* message) {
  gInterruptMessage = message;
  struct sigaction sa {};
  sa.sa_handler = onInterrupt;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGHUP, &sa, nullptr);
}

BotProcess::~BotProcess() { stop(std::chrono::milliseconds(100), false); }

void BotProcess::closeFd(int& fd) {
  if (fd >= 0)
    close(fd);
  fd = -1;
}

namespace {

// Opens the pipes a bot needs, or none of them.
bool openPipes(int (*pipes)[2], int count, std::string* error) {
  for (int i = 0; i < count; ++i)
    if (pipe2(pipes[i], O_CLOEXEC) != 0) {
      if (error)
        *error = std::string("cannot make a pipe: ") + std::strerror(errno);
      for (int j = 0; j < i; ++j)
        for (int fd : pipes[j])
          close(fd);
      return false;
    }
  return true;
}

int descriptorCeiling() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
    return 65536;
  return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
}

} // namespace

bool BotProcess::start(const std::vector<std::string>& words, std::string* error,
                       bool* hostFault) {
  std::string reason;
  if (hostFault)
    *hostFault = false;
  if (words.empty()) {
    if (error)
      *error = "empty command";
    return false;
  }
  const std::string program = findProgram(words[0], &reason);
  if (program.empty()) {
    if (error)
      *error = reason;
    return false;
  }
  prepareOnce();

  // Everything the children need is prepared before fork: after it, only
  // async-signal-safe calls.
  std::vector<char*> argv;
  for (const auto& w : words)
    argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);

  // What fails from here on is ours, not the bot's.
  const auto ours = [&](const std::string& what) {
    if (hostFault)
      *hostFault = true;
    if (error)
      *error = what;
    return false;
  };
  int pipes[4][2];
  if (!openPipes(pipes, 4, &reason))
    return ours(reason);
  int(&in)[2] = pipes[0];
  int(&out)[2] = pipes[1];
  int(&err)[2] = pipes[2];
  int(&report)[2] = pipes[3];

  const watch::Plan plan{program.c_str(), argv.data(), in[0], out[1], err[1],
                         report[1],       getpid(),    descriptorCeiling()};
  const pid_t pid = fork();
  if (pid == 0)
    watch::runWatcher(plan);
  const int forkError = errno;

  close(in[0]);
  close(out[1]);
  close(err[1]);
  close(report[1]);
  if (pid < 0) {
    for (int fd : {in[1], out[0], err[0], report[0]})
      close(fd);
    return ours(std::string("cannot start a process: ") + std::strerror(forkError));
  }
  setpgid(pid, pid);
  pid_ = pid;
  track(pid);

  // The watcher says it started the bot, or why not, then closes the pipe;
  // so does the bot when it runs its program.
  bool startedBot = false;
  watch::Report message{};
  int execError = 0, watchError = 0;
  for (;;) {
    const ssize_t got = read(report[0], &message, sizeof message);
    if (got < 0 && errno == EINTR)
      continue;
    if (got != static_cast<ssize_t>(sizeof message))
      break;
    if (message.kind == watch::kStarted)
      startedBot = true;
    else if (message.kind == watch::kExecFailed)
      execError = message.value;
    else
      watchError = message.value;
  }
  close(report[0]);
  toBot_ = in[1];
  fromBot_ = out[0];
  errFromBot_ = err[0];
  if (!startedBot || execError != 0 || watchError != 0) {
    stop(std::chrono::milliseconds(0), false);
    if (execError != 0) {
      if (error)
        *error = "cannot run '" + program + "': " + std::strerror(execError);
      return false;
    }
    return ours(std::string("cannot start a process: ") +
                std::strerror(watchError != 0 ? watchError : ECHILD));
  }

  for (int fd : {toBot_, fromBot_, errFromBot_})
    setNonBlocking(fd);
  // A bot that logs a lot between two of our reads must not stall on a full
  // pipe: a large buffer, where the system allows it.
  fcntl(errFromBot_, F_SETPIPE_SZ, 1 << 20);
  outputClosed_ = false;
  skippingLine_ = false;
  buffer_.clear();
  scanned_ = 0;
  errors_.clear();
  droppedErrors_ = 0;
  errorTail_.clear();
  errorTailNext_ = 0;
  errorLine_.clear();
  return true;
}

void BotProcess::drainErrors() {
  char chunk[16384];
  while (errFromBot_ >= 0) {
    const ssize_t n = read(errFromBot_, chunk, sizeof chunk);
    if (n > 0) {
      const std::size_t room = kMaxErrorBytes - std::min(kMaxErrorBytes, errors_.size());
      const std::size_t keep = std::min(room, static_cast<std::size_t>(n));
      errors_.append(chunk, keep);
      droppedErrors_ += static_cast<std::size_t>(n) - keep;
      for (ssize_t i = 0; i < n; ++i) {
        if (chunk[i] == '\r')
          continue;
        if (chunk[i] != '\n') {
          if (errorLine_.size() < kErrorLineBytes)
            errorLine_ += chunk[i];
          continue;
        }
        if (errorTail_.size() < kErrorTailLines)
          errorTail_.emplace_back();
        errorTail_[errorTailNext_].swap(errorLine_);
        errorTailNext_ = (errorTailNext_ + 1) % kErrorTailLines;
        errorLine_.clear();
      }
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      closeFd(errFromBot_);
    } else if (errno == EAGAIN) {
      return;
    }
  }
}

std::string printableLine(std::string_view text, std::size_t limit) {
  std::string line(text.substr(0, limit));
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f)
      c = '?';
  return line;
}

std::vector<std::string> BotProcess::lastErrorLines() const {
  std::vector<std::string> lines;
  const std::size_t n = errorTail_.size();
  for (std::size_t k = 0; k < n; ++k)
    lines.push_back(printableLine(errorTail_[(errorTailNext_ + k) % n], kErrorLineBytes));
  if (!errorLine_.empty()) {
    lines.push_back(printableLine(errorLine_, kErrorLineBytes));
    if (lines.size() > kErrorTailLines)
      lines.erase(lines.begin());
  }
  return lines;
}

BotProcess::Io BotProcess::write(std::string_view text, Clock::time_point deadline) {
  if (toBot_ < 0)
    return Io::Closed;
  while (!text.empty()) {
    const ssize_t n = ::write(toBot_, text.data(), text.size());
    if (n > 0) {
      text.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (errno == EINTR)
      continue;
    if (errno != EAGAIN)
      return Io::Closed;
    pollfd fds[2] = {{toBot_, POLLOUT, 0}, {errFromBot_, POLLIN, 0}};
    const int wait = msUntil(deadline);
    if (wait == 0 && Clock::now() >= deadline)
      return Io::Timeout;
    if (poll(fds, 2, wait) < 0 && errno != EINTR)
      return Io::Closed;
    if (fds[1].revents)
      drainErrors();
    if (fds[0].revents & (POLLERR | POLLHUP))
      return Io::Closed;
  }
  return Io::Ok;
}

BotProcess::Io BotProcess::writeNow(std::string& pending) {
  if (toBot_ < 0)
    return Io::Closed;
  std::size_t done = 0;
  while (done < pending.size()) {
    const ssize_t n = ::write(toBot_, pending.data() + done, pending.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (errno != EINTR) {
      if (errno != EAGAIN)
        return Io::Closed;
      break;
    }
  }
  pending.erase(0, done);
  return pending.empty() ? Io::Ok : Io::Timeout;
}

// Reads what the bot has sent, waiting until the deadline for something new.
// False once the deadline passed with nothing new or the output is closed.
bool BotProcess::fillFromOutput(Clock::time_point deadline) {
  char chunk[8192];
  for (;;) {
    const ssize_t n = read(fromBot_, chunk, sizeof chunk);
    if (n > 0) {
      buffer_.append(chunk, static_cast<std::size_t>(n));
      return true;
    }
    if (n == 0) {
      outputClosed_ = true;
      return false;
    }
    if (errno == EINTR)
      continue;
    if (errno != EAGAIN) {
      outputClosed_ = true;
      return false;
    }
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now());
    if (left.count() <= 0)
      return false;
    pollfd fds[2] = {{fromBot_, POLLIN, 0}, {errFromBot_, POLLIN, 0}};
    const timespec t{static_cast<time_t>(left.count() / 1000000000),
                     static_cast<long>(left.count() % 1000000000)};
    if (ppoll(fds, 2, &t, nullptr) < 0 && errno != EINTR)
      return false;
    if (fds[1].revents)
      drainErrors();
    if (fds[0].revents == 0 && Clock::now() >= deadline)
      return false;
  }
}

BotProcess::Io BotProcess::readLine(std::string& line, Clock::time_point deadline) {
  if (fromBot_ < 0)
    return Io::Closed;
  for (;;) {
    const std::size_t nl = buffer_.find('\n', scanned_);
    if (nl != std::string::npos) {
      if (skippingLine_) {
        skippingLine_ = false;
        buffer_.erase(0, nl + 1);
        scanned_ = 0;
        continue;
      }
      const bool tooLong = nl > kMaxLineBytes;
      line.assign(buffer_, 0, std::min(nl, kMaxLineBytes));
      buffer_.erase(0, nl + 1);
      scanned_ = 0;
      return tooLong ? Io::TooLong : Io::Ok;
    }
    scanned_ = buffer_.size();
    if (!skippingLine_ && buffer_.size() > kMaxLineBytes) {
      line.assign(buffer_, 0, kMaxLineBytes);
      buffer_.clear();
      scanned_ = 0;
      skippingLine_ = true;
      return Io::TooLong;
    }
    if (skippingLine_) {
      buffer_.clear();
      scanned_ = 0;
    }
    if (outputClosed_)
      return Io::Closed;
    if (!fillFromOutput(deadline))
      return outputClosed_ ? Io::Closed : Io::Timeout;
  }
}

bool BotProcess::hasUnreadOutput() {
  if (fromBot_ < 0)
    return false;
  if (!buffer_.empty())
    return true;
  fillFromOutput(Clock::now());
  return !buffer_.empty();
}

std::string BotProcess::endDescription(std::chrono::milliseconds wait, bool* crashed) {
  int status = 0;
  if (pid_ <= 0 || !waitExit(pid_, wait, &status))
    return {};
  if (crashed)
    *crashed = status < 0;
  if (status >= 0)
    return "exited with status " + std::to_string(status);
  const char* name = sigabbrev_np(-status);
  return "killed by signal " + std::to_string(-status) +
         (name ? std::string(" (SIG") + name + ")" : std::string());
}

Fault faultOfEnd(BotProcess& process, std::chrono::milliseconds wait, std::string* detail,
                 Fault ifRunning) {
  bool crashed = false;
  *detail = process.endDescription(wait, &crashed);
  if (detail->empty()) {
    *detail = ifRunning == Fault::ClosedInput ? "it closed its input and runs on"
                                              : "its output closed while it runs";
    return ifRunning;
  }
  return crashed ? Fault::Crashed : Fault::Exited;
}

void BotProcess::stop(std::chrono::milliseconds grace, bool gentle) {
  if (pid_ <= 0)
    return;
  closeFd(toBot_);
  const auto drainDuring = [&](std::chrono::milliseconds wait) {
    // Keep reading its standard error while waiting, so a chatty bot is not
    // stuck on a full pipe instead of leaving.
    const auto deadline = Clock::now() + wait;
    for (;;) {
      if (exited(pid_, nullptr))
        return true;
      if (Clock::now() >= deadline)
        return false;
      drainErrors();
      pollfd fds[1] = {{errFromBot_, POLLIN, 0}};
      poll(fds, errFromBot_ >= 0 ? 1 : 0, std::min(msUntil(deadline), 5));
    }
  };
  // pid_ is the watcher: it ends only once the bot and everything the bot
  // started are gone.
  bool gone = gentle && drainDuring(grace);
  if (!gone) {
    kill(pid_, watch::kForward);
    gone = drainDuring(grace);
  }
  if (!gone)
    kill(pid_, watch::kKillAll);
  while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
  }
  untrack(pid_);
  pid_ = -1;
  drainErrors();
  closeFd(toBot_);
  closeFd(fromBot_);
  closeFd(errFromBot_);
}

} // namespace pod::bots
