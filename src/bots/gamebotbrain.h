#pragma once

#include "bots/botfault.h"
#include "bots/botprocess.h"
#include "brains/abstractbrain.h"

#include <memory>
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
  // Turns whose answer came too late: the pods coasted.
  int lateTurns() const { return lateTurns_; }

private:
  void start();
  void request(const Race& race);
  void fail(Fault fault, std::string detail, const std::string& line = {});
  void end(int winner);

  std::string name_;
  std::vector<std::string> words_;
  std::unique_ptr<BotProcess> process_;
  std::unique_ptr<Problem> problem_;
  bool forfeit_ = false;
  bool ended_ = false;
  int requested_ = 0;  // the last turn sent
  int stale_ = 0;      // lines of late answers still to skip
  int lateTurns_ = 0;
  std::string pending_;
  std::string line_;
  std::vector<Influence> answer_;
  Clock::time_point lastRequest_{};
  int answerMs_ = 3000;
};

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
