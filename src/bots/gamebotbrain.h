#pragma once

#include "bots/botfault.h"
#include "bots/botprocess.h"
#include "brains/abstractbrain.h"

#include <deque>
#include <memory>
#include <thread>
#include <string>
#include <vector>

namespace pod::bots {

// A bot driving a team in the game, where no frame may wait for it. The state
// of the next turn is sent as soon as the previous turn is done, so the bot
// has the turn's real time at the current game speed to answer; think() only
// takes what has arrived. A late answer makes the team's pods coast that
// turn (and is skipped when it comes); a bot that dies or writes a malformed
// line forfeits.
class GameBotBrain : public AbstractBrain {
public:
  GameBotBrain(std::string name, std::vector<std::string> words);
  ~GameBotBrain() override;

  void setPhysics(const Physics& physics) override;
  void setTrack(const Track& track) override;
  void think(const Race& race, std::vector<Influence>& influences) override;
  void turnDone(const Race& race, float turnTime) override;

  const std::string& name() const { return name_; }
  const Problem* forfeit() const { return forfeit_ ? &*problem_ : nullptr; }
  // Why the bot could not be started when that was the game's fault (no
  // descriptors or processes left); the team coasts, nobody forfeits.
  const std::string& hostError() const { return hostError_; }
  // Turns whose answer came too late: the pods coasted.
  int lateTurns() const { return lateTurns_; }
  // Late turns in a row, up to the last one.
  int lateStreak() const { return lateStreak_; }
  // The mean time its last few answers took, late ones included, from the
  // moment the turn was sent until the last line came; -1 before any.
  double recentAnswerMs() const;
  // The real time the last turn allowed, in ms.
  int turnMs() const { return answerMs_; }

  // Shared with the thread that reads the bot's output as it comes, so an
  // answer's time is known to the millisecond and neither pipe fills up.
  struct Inbox;

private:
  void start();
  void request(const Race& race);
  void take();
  void closed(Fault ifRunning);
  void fail(Fault fault, std::string detail, const std::string& line = {});
  void end(int winner);
  void handOver(bool gentle);

  std::string name_;
  std::vector<std::string> words_;
  std::unique_ptr<BotProcess> process_;
  std::shared_ptr<Inbox> inbox_;
  std::thread reader_;
  std::unique_ptr<Problem> problem_;
  std::string hostError_;
  bool forfeit_ = false;
  bool ended_ = false;
  int requested_ = 0;       // the last turn sent
  long long linesTaken_ = 0; // lines read from the bot since the start
  std::deque<Clock::time_point> requestTimes_; // of turns not yet answered in full
  std::deque<double> answerTimes_; // the last few, in ms
  int lateTurns_ = 0;
  int lateStreak_ = 0;
  bool closing_ = false;
  Fault closedFault_ = Fault::ClosedOutput;
  Clock::time_point closedAt_{};
  int closedTurn_ = 0;
  std::string pending_;
  std::vector<Influence> answer_;
  Clock::time_point lastRequest_{};
  int answerMs_ = 3000;
};

// Late turns in a row that bring a warning on the race screen.
constexpr int kLateStreakWarning = 10;

// The race screen's one-line warning for a bot late on every turn lately:
// how long its answers take and how long the turn allows.
std::string lateWarning(const std::string& name, int streak, double answerMs, int turnMs);

// The lines the end-of-race panel shows about a bot: its late answers and,
// when it forfeited, what it did, how it ended and the last lines of its
// standard error.
std::vector<std::string> botReport(const std::string& name, int lateTurns,
                                   const Problem* forfeit);

// A bot offered by the game's menu (vuzuder --bot NAME=COMMAND).
struct GameBot {
  std::string name;
  std::string command;
  std::vector<std::string> words;
};
constexpr int kMaxGameBots = 4;

// The game's bots, set from the command line before the menu is built.
std::vector<GameBot>& gameBots();

// Reads every "--bot NAME=COMMAND" (or "--bot=NAME=COMMAND") of the
// arguments, leaving the others alone. False with a one-line reason for a
// bad one, a name given twice or more than kMaxGameBots bots.
bool parseGameBotOptions(const std::vector<std::string>& args, std::vector<GameBot>& bots,
                         std::string* error);

// How many bot processes are still being ended in the background.
int botsBeingEnded();

} // namespace pod::bots
