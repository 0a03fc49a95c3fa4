#include "bots/gamebotbrain.h"

#include "bots/commandwords.h"
#include "bots/protocol.h"
#include "race/physics.h"

#include <qutils/text.h>

#include <atomic>
#include <condition_variable>
#include <deque>
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
  ~Reaper() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
      thread_.join();
  }

  void add(std::unique_ptr<BotProcess> process, bool gentle) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back({std::move(process), gentle});
    ++pending_;
    if (!thread_.joinable())
      thread_ = std::thread([this] { run(); });
    wake_.notify_one();
  }

  int pending() const { return pending_.load(); }

private:
  void run() {
    for (;;) {
      std::pair<std::unique_ptr<BotProcess>, bool> job;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
        if (queue_.empty())
          return;
        job = std::move(queue_.front());
        queue_.pop_front();
      }
      job.first->stop(kGrace, job.second);
      job.first.reset();
      --pending_;
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::pair<std::unique_ptr<BotProcess>, bool>> queue_;
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

GameBotBrain::GameBotBrain(std::string name, std::vector<std::string> words)
    : name_(std::move(name)), words_(std::move(words)) {}

GameBotBrain::~GameBotBrain() { end(-1); }

void GameBotBrain::setPhysics(const Physics& physics) {
  AbstractBrain::setPhysics(physics);
  if (track_ && !process_ && !ended_)
    start();
}

void GameBotBrain::setTrack(const Track& track) {
  AbstractBrain::setTrack(track);
  if (physics_ && !process_ && !ended_)
    start();
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
  if (process_ && process_->started())
    reaper().add(std::move(process_), false);
}

void GameBotBrain::start() {
  process_ = std::make_unique<BotProcess>();
  std::string error;
  if (!process_->start(words_, &error)) {
    process_.reset();
    fail(Fault::StartFailed, error);
    return;
  }
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
  if (process_->writeNow(pending_) == BotProcess::Io::Closed) {
    std::string detail;
    const Fault f = faultOfEnd(*process_, milliseconds(2), &detail);
    fail(f, detail);
  }
}

void GameBotBrain::think(const Race& race, std::vector<Influence>& influences) {
  const auto pods = static_cast<std::size_t>(race.nbPodsPerTeam);
  if (!forfeit_ && process_) {
    if (!pending_.empty())
      process_->writeNow(pending_);
    const Clock::time_point now{}; // in the past: take only what has arrived
    while (!forfeit_ && answer_.size() < pods) {
      const BotProcess::Io io = process_->readLine(line_, now);
      if (io == BotProcess::Io::Timeout)
        break;
      if (io == BotProcess::Io::Closed) {
        std::string detail;
        const Fault f = faultOfEnd(*process_, milliseconds(2), &detail);
        fail(f, detail);
        break;
      }
      if (stale_ > 0) {
        --stale_;
        continue;
      }
      Influence command;
      if (io == BotProcess::Io::TooLong) {
        fail(Fault::LineTooLong, {}, line_.substr(0, 60) + "...");
      } else if (const LineFault fault = parseCommand(line_, command); fault != LineFault::None) {
        fail(fault == LineFault::FieldCount  ? Fault::FieldCount
             : fault == LineFault::NotFinite ? Fault::NotFinite
                                             : Fault::NotANumber,
             {}, line_);
      } else {
        answer_.push_back(command);
      }
    }
    if (!forfeit_ && answer_.size() == pods) {
      influences.insert(influences.end(), answer_.begin(), answer_.end());
      answer_.clear();
      return;
    }
    if (!forfeit_) {
      // Too late: the pods coast, and the rest of this answer is skipped.
      ++lateTurns_;
      stale_ += static_cast<int>(pods - answer_.size());
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
  reaper().add(std::move(process_), !forfeit_);
}

} // namespace pod::bots
