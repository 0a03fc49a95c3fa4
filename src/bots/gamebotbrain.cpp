#include "bots/gamebotbrain.h"

#include "bots/commandwords.h"
#include "bots/protocol.h"
#include "race/physics.h"

#include <qutils/text.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <iostream>
#include <mutex>
#include <thread>

namespace pod::bots {

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kGrace(200);
// What the first answer may take: the countdown before the first turn.
constexpr int kFirstAnswerMs = 3000;
// The turn time at the game's default speed, announced in the greeting; the
// real budget comes with every turn.
constexpr int kDefaultTurnMs = 40;

// Ends bot processes on a thread of its own, so that leaving or restarting a
// race never waits for a bot that takes its time to go.
class Reaper {
public:
  struct Job {
    std::unique_ptr<BotProcess> process;
    std::thread reader; // stops soon: its inbox says quit
    bool gentle = false;
  };

  ~Reaper() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
      thread_.join();
  }

  void add(Job job) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(job));
    ++pending_;
    if (!thread_.joinable())
      thread_ = std::thread([this] { run(); });
    wake_.notify_one();
  }

  int pending() const { return pending_.load(); }

private:
  void run() {
    for (;;) {
      Job job;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
        if (queue_.empty())
          return;
        job = std::move(queue_.front());
        queue_.pop_front();
      }
      if (job.reader.joinable())
        job.reader.join();
      if (job.process)
        job.process->stop(kGrace, job.gentle);
      job.process.reset();
      --pending_;
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> queue_;
  std::atomic<int> pending_{0};
  bool quit_ = false;
  std::thread thread_;
};

Reaper& reaper() {
  static Reaper instance;
  return instance;
}

} // namespace

int botsBeingEnded() { return reaper().pending(); }

std::vector<GameBot>& gameBots() {
  static std::vector<GameBot> bots;
  return bots;
}

bool parseGameBotOptions(const std::vector<std::string>& args, std::vector<GameBot>& bots,
                         std::string* error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string value;
    if (args[i] == "--bot") {
      if (i + 1 >= args.size()) {
        *error = "--bot needs NAME=COMMAND";
        return false;
      }
      value = args[++i];
    } else if (args[i].rfind("--bot=", 0) == 0) {
      value = args[i].substr(6);
    } else {
      continue;
    }
    const std::size_t eq = value.find('=');
    if (eq == std::string::npos || eq == 0) {
      *error = "--bot takes NAME=COMMAND (got '" + value + "')";
      return false;
    }
    GameBot bot;
    bot.name = value.substr(0, eq);
    bot.command = value.substr(eq + 1);
    // The bot's name goes into the replays, which hold UTF-8.
    const std::string problem = qutils::nameProblem(bot.name, qutils::cMaxNameBytes);
    if (!problem.empty()) {
      *error = "the bot name '" + bot.name + "' " + problem;
      return false;
    }
    std::string why;
    bot.words = splitCommandWords(bot.command, &why);
    if (bot.words.empty()) {
      *error = "bad command for bot '" + bot.name + "': " + why;
      return false;
    }
    for (const auto& other : bots)
      if (other.name == bot.name) {
        *error = "two bots are named '" + bot.name + "'";
        return false;
      }
    if (static_cast<int>(bots.size()) == kMaxGameBots) {
      *error = "at most " + std::to_string(kMaxGameBots) + " bots (--bot) in the game";
      return false;
    }
    bots.push_back(std::move(bot));
  }
  return true;
}

struct GameBotBrain::Inbox {
  struct Line {
    std::string text;
    bool tooLong = false;
    Clock::time_point at;
  };
  std::mutex mutex;
  std::deque<Line> lines;
  bool closed = false;
  std::vector<std::string> lastErrors;
  std::atomic<bool> quit{false};
};

namespace {

// Lines waiting to be taken; a bot that writes more waits on its pipe.
constexpr std::size_t kMaxWaitingLines = 64;
constexpr std::size_t kAnswerTimesKept = kLateStreakWarning;
// How long a closed pipe may be seen before the bot's exit: then it closed
// it on purpose.
constexpr milliseconds kClosedPatience(500);

void readBot(BotProcess* process, std::shared_ptr<GameBotBrain::Inbox> inbox) {
  std::string line;
  while (!inbox->quit.load()) {
    bool full;
    {
      std::lock_guard<std::mutex> lock(inbox->mutex);
      full = inbox->lines.size() >= kMaxWaitingLines;
    }
    BotProcess::Io io = BotProcess::Io::Timeout;
    if (full) {
      std::this_thread::sleep_for(milliseconds(5));
      process->readErrors();
    } else {
      io = process->readLine(line, Clock::now() + milliseconds(50));
    }
    const auto at = Clock::now();
    process->readErrors();
    std::vector<std::string> errors = process->lastErrorLines();
    std::lock_guard<std::mutex> lock(inbox->mutex);
    inbox->lastErrors = std::move(errors);
    if (io == BotProcess::Io::Ok || io == BotProcess::Io::TooLong)
      inbox->lines.push_back({line, io == BotProcess::Io::TooLong, at});
    if (io == BotProcess::Io::Closed) {
      inbox->closed = true;
      return;
    }
  }
}

std::string wholeMs(double ms) { return std::to_string(static_cast<long long>(ms + 0.5)); }

} // namespace

std::string lateWarning(const std::string& name, int streak, double answerMs, int turnMs) {
  const std::string allows = "a turn allows " + std::to_string(turnMs) + " ms";
  if (answerMs < 0)
    return name + " has not answered for " + std::to_string(streak) + " turns; " + allows;
  return name + " is late on every turn: its answers take " + wholeMs(answerMs) + " ms, " +
         allows;
}

std::vector<std::string> botReport(const std::string& name, int lateTurns, const Problem* forfeit) {
  std::vector<std::string> lines;
  lines.push_back(name + ": " +
                  (lateTurns == 0 ? std::string("no late answer")
                                  : std::to_string(lateTurns) +
                                        (lateTurns == 1 ? " late answer" : " late answers")));
  if (!forfeit)
    return lines;
  std::string what = name + ": " + faultName(forfeit->fault) + " on turn " +
                     std::to_string(forfeit->turn);
  if (!forfeit->detail.empty())
    what += " (" + forfeit->detail + ")";
  lines.push_back(what);
  for (const auto& error : forfeit->lastErrors)
    lines.push_back("| " + error);
  return lines;
}

GameBotBrain::GameBotBrain(std::string name, std::vector<std::string> words)
    : name_(std::move(name)), words_(std::move(words)) {}

GameBotBrain::~GameBotBrain() { end(-1); }

double GameBotBrain::recentAnswerMs() const {
  if (answerTimes_.empty())
    return -1.0;
  double sum = 0.0;
  for (double ms : answerTimes_)
    sum += ms;
  return sum / static_cast<double>(answerTimes_.size());
}

void GameBotBrain::setPhysics(const Physics& physics) {
  AbstractBrain::setPhysics(physics);
  if (track_ && !process_ && !ended_ && !forfeit_ && hostError_.empty())
    start();
}

void GameBotBrain::setTrack(const Track& track) {
  AbstractBrain::setTrack(track);
  if (physics_ && !process_ && !ended_ && !forfeit_ && hostError_.empty())
    start();
}

// The process and its reader go to the reaper, which ends them off this
// thread.
void GameBotBrain::handOver(bool gentle) {
  if (inbox_)
    inbox_->quit = true;
  Reaper::Job job;
  job.process = std::move(process_);
  job.reader = std::move(reader_);
  job.gentle = gentle;
  if (job.process || job.reader.joinable())
    reaper().add(std::move(job));
  inbox_.reset();
}

void GameBotBrain::fail(Fault fault, std::string detail, const std::string& line) {
  if (forfeit_)
    return;
  forfeit_ = true;
  problem_ = std::make_unique<Problem>();
  problem_->turn = requested_;
  problem_->team = team_;
  problem_->fault = fault;
  problem_->detail = std::move(detail);
  problem_->line = qutils::escapedText(line, 200);
  if (inbox_) {
    std::lock_guard<std::mutex> lock(inbox_->mutex);
    problem_->lastErrors = inbox_->lastErrors;
  }
  handOver(false);
}

void GameBotBrain::start() {
  process_ = std::make_unique<BotProcess>();
  std::string error;
  bool ours = false;
  if (!process_->start(words_, &error, &ours)) {
    process_.reset();
    if (ours) {
      hostError_ = error;
      std::cerr << "Bot " << name_ << " could not be started: " << error << std::endl;
    } else {
      fail(Fault::StartFailed, error);
    }
    return;
  }
  inbox_ = std::make_shared<Inbox>();
  reader_ = std::thread(readBot, process_.get(), inbox_);
  const Race& race = physics_->getCurrentState();
  Greeting g;
  g.timeAttack = race.timeAttack;
  g.podsPerTeam = race.nbPodsPerTeam;
  g.teams = race.nbPodsPerTeam > 0 ? static_cast<int>(race.pods.size()) / race.nbPodsPerTeam : 0;
  g.team = team_;
  g.firstMs = kFirstAnswerMs;
  g.turnMs = kDefaultTurnMs;
  g.track = track_;
  appendGreeting(pending_, g);
  answerMs_ = kFirstAnswerMs;
  request(race);
}

void GameBotBrain::request(const Race& race) {
  ++requested_;
  appendTurn(pending_, requested_, answerMs_, race);
  lastRequest_ = Clock::now();
  requestTimes_.push_back(lastRequest_);
  if (process_->writeNow(pending_) == BotProcess::Io::Closed)
    closed(Fault::ClosedInput);
}

// A pipe closed: the bot ended, or closed it and runs on. Its end may take a
// moment to be seen; until then the pods coast.
void GameBotBrain::closed(Fault ifRunning) {
  if (!closing_) {
    closing_ = true;
    closedFault_ = ifRunning;
    closedAt_ = Clock::now();
    closedTurn_ = requested_;
  }
  std::string detail;
  const Fault f = faultOfEnd(*process_, milliseconds(0), &detail, closedFault_);
  bool allRead;
  {
    std::lock_guard<std::mutex> lock(inbox_->mutex);
    allRead = inbox_->closed;
  }
  // A bot that ended is reported once its last words are read.
  if ((f != closedFault_ && allRead) || Clock::now() - closedAt_ >= kClosedPatience) {
    fail(f, detail);
    problem_->turn = closedTurn_;
  }
}

// Takes the lines that have come: lines are matched to turns by count, and
// those of a turn already played (late) are skipped.
void GameBotBrain::take() {
  const auto pods = static_cast<long long>(physics_->getCurrentState().nbPodsPerTeam);
  std::deque<Inbox::Line> lines;
  bool closedPipe;
  {
    std::lock_guard<std::mutex> lock(inbox_->mutex);
    while (!inbox_->lines.empty() &&
           (linesTaken_ + static_cast<long long>(lines.size())) / pods + 1 <= requested_) {
      lines.push_back(std::move(inbox_->lines.front()));
      inbox_->lines.pop_front();
    }
    closedPipe = inbox_->closed && inbox_->lines.empty();
  }
  for (const Inbox::Line& line : lines) {
    const int turn = static_cast<int>(linesTaken_ / pods) + 1;
    ++linesTaken_;
    if (linesTaken_ % pods == 0 && !requestTimes_.empty()) {
      answerTimes_.push_back(
          std::chrono::duration<double, std::milli>(line.at - requestTimes_.front()).count());
      requestTimes_.pop_front();
      if (answerTimes_.size() > kAnswerTimesKept)
        answerTimes_.pop_front();
    }
    if (turn < requested_)
      continue;
    Influence command;
    if (line.tooLong) {
      fail(Fault::LineTooLong, {}, line.text.substr(0, 60) + "...");
    } else if (const LineFault fault = parseCommand(line.text, command); fault != LineFault::None) {
      fail(fault == LineFault::FieldCount  ? Fault::FieldCount
           : fault == LineFault::NotFinite ? Fault::NotFinite
                                           : Fault::NotANumber,
           {}, line.text);
    } else {
      answer_.push_back(command);
    }
    if (forfeit_)
      return;
  }
  if (closedPipe && answer_.size() < static_cast<std::size_t>(pods))
    closed(Fault::ClosedOutput);
}

void GameBotBrain::think(const Race& race, std::vector<Influence>& influences) {
  const auto pods = static_cast<std::size_t>(race.nbPodsPerTeam);
  if (!forfeit_ && process_) {
    if (!pending_.empty() && process_->writeNow(pending_) == BotProcess::Io::Closed)
      closed(Fault::ClosedInput);
    else if (closing_)
      closed(closedFault_);
    if (!forfeit_)
      take();
    if (!forfeit_ && answer_.size() == pods) {
      influences.insert(influences.end(), answer_.begin(), answer_.end());
      answer_.clear();
      lateStreak_ = 0;
      return;
    }
    if (!forfeit_) {
      // Too late: the pods coast, and the rest of this answer is skipped.
      ++lateTurns_;
      ++lateStreak_;
      answer_.clear();
    }
  }
  influences.resize(influences.size() + pods, Influence{});
}

void GameBotBrain::turnDone(const Race& race, float turnTime) {
  (void)turnTime;
  if (race.winner != -1) {
    end(race.winner);
    return;
  }
  if (forfeit_ || !process_ || ended_)
    return;
  // The bot gets what the last turn took in real time: the game speed's.
  const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - lastRequest_);
  if (requested_ > 1)
    answerMs_ = static_cast<int>(std::max<long long>(1, elapsed.count()));
  else
    answerMs_ = kDefaultTurnMs;
  request(race);
}

void GameBotBrain::end(int winner) {
  if (ended_)
    return;
  ended_ = true;
  if (!process_)
    return;
  if (!forfeit_) {
    appendEnd(pending_, winner);
    process_->writeNow(pending_);
  }
  handOver(!forfeit_);
}

} // namespace pod::bots
