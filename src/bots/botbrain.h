#pragma once

#include "bots/botfault.h"
#include "bots/botprocess.h"
#include "brains/abstractbrain.h"

#include <string>
#include <vector>

namespace pod::bots {

struct BotSettings {
  std::vector<std::string> words; // the command, already split
  int firstMs = 1000;             // wall-clock limit of the first answer
  int turnMs = 50;                // and of every later one
  int graceMs = 200;              // to leave after its input closes, then after SIGTERM
  // Checking a bot: a problem does not end the race; it is noted, the pod
  // coasts that turn, and the bot goes on. Only a dead bot, or one silent for
  // stallMs, stops it.
  bool checking = false;
  int stallMs = 3000;
};

// A team driven by an external program, one process per race, answering each
// turn within a wall-clock limit. Its first fault is a forfeit: from then on
// its pods coast and the race runner gives the race to the other side.
class BotBrain : public AbstractBrain {
public:
  explicit BotBrain(BotSettings settings);
  ~BotBrain() override;

  void think(const Race& race, std::vector<Influence>& influences) override;
  void turnDone(const Race& race, float turnTime) override;

  // The race is over: sends the last line and ends the process. Idempotent.
  void finish(int winner);

  // Why the bot could not be started when that was no fault of its own (no
  // descriptors or processes left): the race cannot be played. Empty
  // otherwise.
  const std::string& hostError() const { return hostError_; }

  // The first fault, or nullptr for a clean run.
  const Problem* forfeit() const;
  // Every fault (more than one only when checking).
  const std::vector<Problem>& problems() const { return problems_; }

  // Its standard error so far (the first 64 KiB), and how much was dropped.
  std::string takeErrorOutput();
  std::size_t droppedErrorBytes() const { return process_.droppedErrorBytes(); }

  // Answer times in ms, for reports.
  double slowestAnswerMs() const { return slowestMs_; }
  int slowestAnswerTurn() const { return slowestTurn_; }
  double meanAnswerMs() const { return answers_ ? totalMs_ / answers_ : 0.0; }

private:
  bool note(Fault fault, std::string detail, const std::string& line = {});
  bool readWhatIsLeft(Clock::time_point deadline);
  bool answer(const Race& race, std::vector<Influence>& influences);
  Fault deathFault(std::string* detail);

  BotSettings settings_;
  BotProcess process_;
  std::vector<Problem> problems_;
  std::string hostError_;
  bool dead_ = false;
  bool finished_ = false;
  int turn_ = 0;
  std::string out_;
  std::string line_;
  double slowestMs_ = 0.0;
  int slowestTurn_ = 0;
  double totalMs_ = 0.0;
  int answers_ = 0;
};

} // namespace pod::bots
