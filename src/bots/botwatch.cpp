#include "bots/botwatch.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <initializer_list>

namespace pod::bots::watch {

namespace {

void pauseMs(long ms) {
  timespec t{ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&t, &t) == -1 && errno == EINTR) {
  }
}

void send(int fd, int kind, int value) {
  const Report report{kind, value};
  ssize_t n;
  do
    n = ::write(fd, &report, sizeof report);
  while (n < 0 && errno == EINTR);
}

long parseNumber(const char*& p) {
  long value = -1;
  for (; *p >= '0' && *p <= '9'; ++p)
    value = (value < 0 ? 0 : value * 10) + (*p - '0');
  return value;
}

// The parent of a process, from /proc/PID/stat; -1 when unknown.
long parentOf(const char* pidText) {
  char path[48] = "/proc/";
  std::size_t len = 6;
  for (const char* c = pidText; *c && len < 32; ++c)
    path[len++] = *c;
  for (const char* c = "/stat"; *c; ++c)
    path[len++] = *c;
  path[len] = '\0';
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return -1;
  char text[256];
  const ssize_t n = read(fd, text, sizeof text - 1);
  close(fd);
  if (n <= 0)
    return -1;
  text[n] = '\0';
  // "PID (COMMAND) STATE PPID ...": the command may hold any byte, so the
  // fields start after the last parenthesis.
  const char* fields = nullptr;
  for (ssize_t i = 0; i < n; ++i)
    if (text[i] == ')')
      fields = text + i + 1;
  if (!fields || fields[0] != ' ' || !fields[1] || fields[2] != ' ')
    return -1;
  const char* p = fields + 3;
  return parseNumber(p);
}

// Sends SIGKILL to every child of this process; how many, or -1 without /proc.
int killChildren() {
  const long self = getpid();
  const int dir = open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0)
    return -1;
  alignas(8) char entries[4096];
  int count = 0;
  for (;;) {
    const ssize_t n = getdents64(dir, entries, sizeof entries);
    if (n <= 0)
      break;
    for (ssize_t at = 0; at < n;) {
      const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
      at += entry->d_reclen;
      const char* p = entry->d_name;
      const long pid = parseNumber(p);
      if (pid > 0 && *p == '\0' && parentOf(entry->d_name) == self) {
        kill(static_cast<pid_t>(pid), SIGKILL);
        ++count;
      }
    }
  }
  close(dir);
  return count;
}

bool hasChildren() {
  siginfo_t info{};
  return !(waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) < 0 && errno == ECHILD);
}

// Everything the bot left behind was handed to us as its parents ended; a
// killed process's own children come to us next, so repeat until none is
// left.
void killEveryChild() {
  for (;;) {
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    if (!hasChildren() || killChildren() < 0)
      return;
    pauseMs(1);
  }
}

[[noreturn]] void endAs(int status) {
  if (WIFSIGNALED(status)) {
    const int sig = WTERMSIG(status);
    // The bot's death, without a core file of ours.
    prctl(PR_SET_DUMPABLE, 0);
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigaction(sig, &dfl, nullptr);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, sig);
    sigprocmask(SIG_UNBLOCK, &one, nullptr);
    raise(sig);
    _exit(128 + sig);
  }
  _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 127);
}

} // namespace

void closeFrom(int first, int maxFd) {
  if (close_range(static_cast<unsigned>(first), ~0u, 0) == 0)
    return;
  for (int fd = first; fd < maxFd; ++fd)
    close(fd);
}

void runWatcher(const Plan& plan) {
  // A process group of its own: Ctrl-C in the terminal reaches only the
  // host, which ends the bots in order.
  setpgid(0, 0);
  sigset_t all;
  sigfillset(&all);
  sigprocmask(SIG_SETMASK, &all, nullptr);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  for (int s : {SIGINT, SIGQUIT, SIGHUP, SIGPIPE, SIGTSTP, SIGTTIN, SIGTTOU})
    sigaction(s, &ignore, nullptr);
  // The host's end, however it comes, is the bot's end.
  prctl(PR_SET_PDEATHSIG, kKillAll);
  prctl(PR_SET_CHILD_SUBREAPER, 1);

  // The bot's pipes on 0-2, the report pipe on 3, nothing else open: the
  // host's files stay the host's.
  int fds[4] = {plan.in, plan.out, plan.err, plan.report};
  for (int& fd : fds)
    if (fd < 4 && (fd = fcntl(fd, F_DUPFD, 4)) < 0) {
      send(plan.report, kForkFailed, errno);
      _exit(127);
    }
  for (int target = 0; target < 4; ++target)
    if (dup2(fds[target], target) < 0) {
      send(fds[3], kForkFailed, errno);
      _exit(127);
    }
  fcntl(3, F_SETFD, FD_CLOEXEC);
  closeFrom(4, plan.maxFd);
  if (getppid() != plan.host)
    _exit(127);

  const pid_t bot = fork();
  if (bot < 0) {
    send(3, kForkFailed, errno);
    _exit(127);
  }
  if (bot == 0) {
    setpgid(0, 0);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (int s = 1; s < NSIG; ++s)
      sigaction(s, &dfl, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    execv(plan.program, plan.argv);
    send(3, kExecFailed, errno);
    _exit(127);
  }
  setpgid(bot, bot);
  send(3, kStarted, bot);
  for (int fd = 0; fd < 4; ++fd)
    close(fd);

  sigset_t wanted;
  sigemptyset(&wanted);
  for (int s : {kForward, kKillAll, SIGCHLD})
    sigaddset(&wanted, s);
  for (bool over = false; !over;) {
    // Orphans handed to us that have ended are reaped; the bot is left a
    // zombie for now, so that its group id stays its own.
    siginfo_t info{};
    while (!over && waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0) {
      if (info.si_pid == bot)
        over = true;
      else
        waitpid(info.si_pid, nullptr, 0);
    }
    if (over)
      break;
    const timespec tick{0, 100 * 1000000L};
    const int sig = sigtimedwait(&wanted, nullptr, &tick);
    if (sig == kForward) {
      kill(-bot, kForward);
      kill(bot, kForward);
    } else if (sig == kKillAll || getppid() != plan.host) {
      kill(-bot, SIGKILL);
      kill(bot, SIGKILL);
    }
  }
  // What is left of its group goes with it, then everything else it started.
  kill(-bot, SIGKILL);
  int status = 0;
  while (waitpid(bot, &status, 0) < 0 && errno == EINTR) {
  }
  killEveryChild();
  endAs(status);
}

} // namespace pod::bots::watch
