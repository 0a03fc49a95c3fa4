#include "learnrace.h"

#include "bots/botbrain.h"
#include "brains/driverregistry.h"
#include "race/racerules.h"

#include "racerunner.h"
#include "tournament.h"
#include "trackgen.h"

#include <qutils/random.h>

#include <algorithm>
#include <cmath>

namespace pod::learn {

namespace {

constexpr double kPositionScale = 1.0 / 10000.0;
constexpr double kVelocityScale = 1.0 / 1000.0;

// A heading in degrees, by its cosine and sine: computed once per pod, as
// they are most of the cost of an observation.
struct Heading {
  explicit Heading(double degrees) {
    const double a = degrees * (3.14159265358979323846 / 180.0);
    c = std::cos(a);
    s = std::sin(a);
  }
  double c, s;
};

// (x, y) turned by -angle: the vector seen from a pod heading there.
void inFrame(double x, double y, const Heading& h, float* out) {
  out[0] = static_cast<float>(x * h.c + y * h.s);
  out[1] = static_cast<float>(-x * h.s + y * h.c);
}

std::int32_t afterNext(const PodState& pod, std::size_t count) {
  return checkpointAfterNext(pod, static_cast<std::int32_t>(count));
}

} // namespace

int podsOf(const RaceSettings& s) {
  if (!s.timeAttack)
    return 4;
  return s.opponent == Opponent::None ? 1 : 2;
}

int ownPodsOf(const RaceSettings& s) { return s.timeAttack ? 1 : 2; }

int observationSize(const RaceSettings& s) {
  return podsOf(s) * kPodFields + ownPodsOf(s) * kOwnFields + 1;
}

void validate(const RaceSettings& s) {
  if (s.tracks.empty())
    throw BadSetting("no track to race on");
  for (const auto& t : s.tracks)
    if (t && t->checkpoints.size() < 2)
      throw BadSetting("track '" + t->name + "' has fewer than 2 checkpoints");
  const int teams = s.timeAttack ? podsOf(s) : 2;
  if (s.team < 0 || s.team >= teams)
    throw BadSetting("team must be " + std::string(teams == 1 ? "0" : "0 or 1") + " (got " +
                     std::to_string(s.team) + ")");
  if (!s.timeAttack && s.opponent == Opponent::None)
    throw BadSetting("a race needs an opponent (a driver, \"self\" or a bot)");
  if (s.opponent == Opponent::Driver && !createDriver(s.driver, s.timeAttack))
    throw BadSetting("unknown driver '" + s.driver + "'");
  if (s.opponent == Opponent::Bot && s.botWords.empty())
    throw BadSetting("empty bot command");
  if (s.thinkEvals < 1)
    throw BadSetting("think_evals must be at least 1 (got " + std::to_string(s.thinkEvals) + ")");
  if (s.maxTurns < 0)
    throw BadSetting("max_turns must not be negative");
  if (s.botFirstMs < 1 || s.botTurnMs < 1)
    throw BadSetting("bot time limits must be at least 1 ms");
}

Influence commandOf(double rotation, double thrust, double shield) {
  if (!std::isfinite(rotation) || !std::isfinite(thrust) || !std::isfinite(shield))
    throw BadSetting("action holds NaN or infinity");
  Influence inf;
  // As a bot's answer line is read: clamped as doubles, then made floats.
  inf.rotation = static_cast<float>(std::clamp(rotation, -double(constants::kMaxRotation),
                                               double(constants::kMaxRotation)));
  inf.thrust = static_cast<float>(std::clamp(thrust, 0.0, double(constants::kMaxThrust)));
  inf.shield = shield != 0.0;
  return inf;
}

void observe(const Race& race, const Track& track, int team, int turn, int maxTurns,
             float* out) {
  const std::size_t n = race.pods.size();
  const std::size_t count = track.checkpoints.size();
  const double toFinish = static_cast<double>(checkpointsToFinish(track));
  // Own pods first, then the others, each in id order.
  const PodState* order[8] = {};
  std::size_t k = 0;
  for (int pass = 0; pass < 2; ++pass)
    for (const auto& p : race.pods)
      if ((p.team == team) == (pass == 0) && k < 8)
        order[k++] = &p;
  const PodState& ref = *order[0];
  const double refAngle = ref.angle;
  const Heading refHeading(refAngle);
  for (std::size_t i = 0; i < k; ++i) {
    const PodState& p = *order[i];
    inFrame((double(p.position.x) - ref.position.x) * kPositionScale,
            (double(p.position.y) - ref.position.y) * kPositionScale, refHeading, out);
    inFrame(double(p.velocity.x) * kVelocityScale, double(p.velocity.y) * kVelocityScale,
            refHeading, out + 2);
    const Heading turn(double(p.angle) - refAngle);
    out[4] = static_cast<float>(turn.c);
    out[5] = static_cast<float>(turn.s);
    out[6] = static_cast<float>(p.shieldCooldown / constants::kShieldDuration);
    out[7] = static_cast<float>(p.timeout / constants::kTimeoutLimit);
    out[8] = static_cast<float>(p.checkpointsCleared / toFinish);
    out += kPodFields;
  }
  const std::size_t own = race.nbPodsPerTeam > 0 ? static_cast<std::size_t>(race.nbPodsPerTeam) : 1;
  for (std::size_t i = 0; i < own && i < n; ++i) {
    const PodState& p = *order[i];
    const Heading heading = i == 0 ? refHeading : Heading(p.angle);
    const Vec2 next = track.checkpoints[static_cast<std::size_t>(p.nextCheckpoint) % count].position;
    const Vec2 then = track.checkpoints[static_cast<std::size_t>(afterNext(p, count))].position;
    inFrame((double(next.x) - p.position.x) * kPositionScale,
            (double(next.y) - p.position.y) * kPositionScale, heading, out);
    inFrame((double(then.x) - p.position.x) * kPositionScale,
            (double(then.y) - p.position.y) * kPositionScale, heading, out + 2);
    inFrame(double(p.velocity.x) * kVelocityScale, double(p.velocity.y) * kVelocityScale, heading,
            out + 4);
    out += kOwnFields;
  }
  out[0] = maxTurns > 0 ? static_cast<float>(double(turn) / maxTurns) : 0.f;
}

void rawState(const Race& race, double* out) {
  for (const auto& p : race.pods) {
    const double fields[kStateFields] = {
        double(p.id),         double(p.team),          p.position.x,
        p.position.y,         p.velocity.x,            p.velocity.y,
        p.angle,              double(p.nextCheckpoint), double(p.checkpointsCleared),
        p.shieldCooldown,     p.timeout,               p.engine};
    std::copy(fields, fields + kStateFields, out);
    out += kStateFields;
  }
}

LearnRace::LearnRace(RaceSettings settings) : settings_(std::move(settings)) {
  validate(settings_);
  teams_ = settings_.timeAttack ? podsOf(settings_) : 2;
  reset(0);
}

LearnRace::~LearnRace() { endBot(); }

void LearnRace::endBot() {
  if (bot_)
    bot_->finish(winner());
}

void LearnRace::reset(std::uint64_t episodeSeed) {
  endBot();
  // The brain reads the physics and the track: it goes first.
  brain_.reset();
  bot_ = nullptr;
  episodeSeed_ = episodeSeed;
  const auto& tracks = settings_.tracks;
  std::size_t pick = 0;
  if (tracks.size() > 1) {
    qutils::Random random(qutils::deriveSeed(episodeSeed, 0x7472616Bull));
    pick = static_cast<std::size_t>(random.uniformInt(0, static_cast<int>(tracks.size()) - 1));
  }
  track_ = tracks[pick];
  if (!track_)
    track_ = std::make_shared<const Track>(arena::generateTracks(episodeSeed, 1).front());

  physics_.init(settings_.timeAttack, settings_.timeAttack ? 1 : 2, teams_, track_.get());
  maxTurns_ = settings_.maxTurns > 0 ? settings_.maxTurns
                                     : arena::maxTurnsFor(*track_, settings_.timeAttack);
  turn_ = 0;
  terminated_ = truncated_ = false;
  started_ = true;

  const int other = settings_.team == 0 ? 1 : 0;
  if (settings_.opponent == Opponent::Driver) {
    DriverOptions options;
    // As the arena seeds the side that plays this team in a race of this seed.
    options.seed = arena::driverSeed(episodeSeed, other);
    options.evalsPerTurn = settings_.thinkEvals;
    options.turnSeconds = settings_.turnSeconds;
    brain_ = createDriver(settings_.driver, settings_.timeAttack, options);
  } else if (settings_.opponent == Opponent::Bot) {
    bots::BotSettings bot;
    bot.words = settings_.botWords;
    bot.firstMs = settings_.botFirstMs;
    bot.turnMs = settings_.botTurnMs;
    auto owned = std::make_unique<bots::BotBrain>(std::move(bot));
    bot_ = owned.get();
    brain_ = std::move(owned);
  }
  if (brain_) {
    brain_->setTeam(other);
    brain_->setPhysics(physics_);
    brain_->setTrack(*track_);
  }
  influences_.reserve(physics_.getCurrentState().pods.size());
  events_.reserve(16);
  if (settings_.record) {
    std::vector<std::string> names(static_cast<std::size_t>(teams_));
    names[static_cast<std::size_t>(settings_.team)] = settings_.name;
    if (teams_ > 1)
      names[static_cast<std::size_t>(other)] =
          !settings_.opponentName.empty() ? settings_.opponentName
          : settings_.opponent == Opponent::Driver ? settings_.driver
          : settings_.opponent == Opponent::SelfPlay ? settings_.name
                                                      : "bot";
    trace_.begin(*track_, names, physics_.getCurrentState(), kTurnTime);
  }
}

int LearnRace::progressOf(int team) const {
  int best = 0;
  for (const auto& p : physics_.getCurrentState().pods)
    if (p.team == team)
      best = std::max(best, static_cast<int>(p.checkpointsCleared));
  return best;
}

float LearnRace::step(const Influence* own, const Influence* other) {
  if (done())
    throw BadSetting("the race is over: call reset()");
  const int otherTeam = settings_.team == 0 ? 1 : 0;
  const int perTeam = ownPods();
  const Race& before = physics_.getCurrentState();
  const int ownBefore = progressOf(settings_.team);
  const int otherBefore = teams_ > 1 ? progressOf(otherTeam) : 0;

  influences_.clear();
  for (int t = 0; t < teams_; ++t) {
    if (t == settings_.team)
      influences_.insert(influences_.end(), own, own + perTeam);
    else if (settings_.opponent == Opponent::SelfPlay)
      influences_.insert(influences_.end(), other, other + perTeam);
    else
      brain_->think(before, influences_);
  }
  if (bot_) {
    if (const bots::Problem* p = bot_->forfeit()) {
      terminated_ = true;
      const std::string why = std::string("bot ") + bots::faultName(p->fault) +
                              (p->detail.empty() ? "" : " (" + p->detail + ")") + " at turn " +
                              std::to_string(p->turn);
      endBot();
      throw BotFailed(why);
    }
  }

  events_.clear();
  physics_.step(influences_, kTurnTime, events_);
  const Race& state = physics_.getCurrentState();
  if (brain_)
    brain_->turnDone(state, kTurnTime);
  ++turn_;
  if (settings_.record)
    trace_.append(influences_, events_, state);

  const double toFinish = static_cast<double>(checkpointsToFinish(*track_));
  double reward = (progressOf(settings_.team) - ownBefore -
                   (teams_ > 1 ? progressOf(otherTeam) - otherBefore : 0)) /
                  toFinish;
  bool everyPodOut = settings_.timeAttack;
  for (const auto& p : state.pods)
    everyPodOut = everyPodOut && isTimedOut(p);
  if (state.winner != -1 || everyPodOut) {
    terminated_ = true;
    if (state.winner == settings_.team)
      reward += 1.0;
    else if (state.winner != -1)
      reward -= 1.0;
  } else if (turn_ >= maxTurns_) {
    truncated_ = true;
  }
  if (done())
    endBot();
  return static_cast<float>(reward);
}

void LearnRace::observation(float* out) const { observationFor(settings_.team, out); }

void LearnRace::observationFor(int team, float* out) const {
  observe(physics_.getCurrentState(), *track_, team, turn_, maxTurns_, out);
}

} // namespace pod::learn
