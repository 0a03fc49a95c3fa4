#pragma once

#include "brains/abstractbrain.h"
#include "race/physics.h"
#include "race/track.h"
#include "trace/trace.h"

#include "bots/botfault.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// One race driven from outside, turn by turn, for learning: the learner gives
// the commands of one team, the other side is a built-in driver, a second set
// of commands (self-play) or an external bot. Headless; the Python module
// wraps it.

namespace pod::bots {
class BotBrain;
}

namespace pod::learn {

// A bad setting or command: the message names it in one line.
struct BadSetting : std::invalid_argument {
  using std::invalid_argument::invalid_argument;
};
// The external bot failed: the race cannot go on.
struct BotFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class Opponent { None, Driver, SelfPlay, Bot };

struct RaceSettings {
  bool timeAttack = false;
  // Tried in turn by the episodes' seeds; a null entry stands for a random
  // track drawn from the episode's seed, as the arena's --random-tracks.
  std::vector<std::shared_ptr<const Track>> tracks;
  int team = 0; // the learner's team
  Opponent opponent = Opponent::Driver;
  std::string driver = "Steering heuristics";
  std::vector<std::string> botWords;
  int botFirstMs = 1000;
  int botTurnMs = 50;
  int thinkEvals = 15000;
  float turnSeconds = 0.04f;
  int maxTurns = 0; // 0: the arena's cap for the track
  bool record = false;
  std::string name = "python";        // the learner's team in traces
  std::string opponentName;           // the other's; the driver's name when empty
};

// Checks the settings; throws BadSetting.
void validate(const RaceSettings& settings);

// Observation layout: see docs/PYTHON.md. Per pod, own pods first.
constexpr int kPodFields = 9;
// Per own pod, in its heading frame.
constexpr int kOwnFields = 6;
// Fields of the bot protocol's pod line.
constexpr int kStateFields = 12;

int podsOf(const RaceSettings& settings);
int ownPodsOf(const RaceSettings& settings);
int observationSize(const RaceSettings& settings);

// The observation of `race` for `team`, turns played `turn` of `maxTurns`.
void observe(const Race& race, const Track& track, int team, int turn, int maxTurns, float* out);
// The protocol's fields of every pod, in pod order.
void rawState(const Race& race, double* out);

// One command as the bot protocol takes it: non-finite values are refused,
// the rest clamped exactly as a bot's answer line.
Influence commandOf(double rotation, double thrust, double shield);

class LearnRace {
public:
  explicit LearnRace(RaceSettings settings);
  ~LearnRace();
  LearnRace(const LearnRace&) = delete;
  LearnRace& operator=(const LearnRace&) = delete;

  // A new episode from its seed: the track and the opponent's stream.
  void reset(std::uint64_t episodeSeed);

  // One turn. `own` holds ownPods() commands, `other` as many for self-play
  // (ignored otherwise). Returns the reward; throws BotFailed.
  float step(const Influence* own, const Influence* other);

  void observation(float* out) const;
  void observationFor(int team, float* out) const;

  bool terminated() const { return terminated_; }
  bool truncated() const { return truncated_; }
  bool done() const { return terminated_ || truncated_; }
  int turn() const { return turn_; }
  int maxTurns() const { return maxTurns_; }
  int winner() const { return physics_.getCurrentState().winner; }
  bool byTimeout() const { return physics_.getCurrentState().byTimeout; }
  const Race& state() const { return physics_.getCurrentState(); }
  const Track& track() const { return *track_; }
  const RaceSettings& settings() const { return settings_; }
  int ownPods() const { return ownPodsOf(settings_); }
  int teams() const { return teams_; }
  std::uint64_t episodeSeed() const { return episodeSeed_; }
  const std::vector<PhysicsEvent>& events() const { return events_; }

  // The recorded race (settings.record), in the trace format.
  const Trace& trace() const { return trace_; }
  bool hasTrace() const { return started_ && settings_.record; }

private:
  int progressOf(int team) const;
  void endBot();

  RaceSettings settings_;
  std::shared_ptr<const Track> track_;
  Physics physics_;
  std::unique_ptr<AbstractBrain> brain_;
  bots::BotBrain* bot_ = nullptr; // brain_, when it is an external bot
  int teams_ = 2;
  int turn_ = 0;
  int maxTurns_ = 0;
  bool started_ = false;
  bool terminated_ = false;
  bool truncated_ = false;
  std::uint64_t episodeSeed_ = 0;
  std::vector<Influence> influences_;
  std::vector<PhysicsEvent> events_;
  Trace trace_;
};

} // namespace pod::learn
