#include "trace.h"

#include <charconv>
#include <cmath>

namespace pod::arena {

nlohmann::ordered_json floatJson(float value) {
  if (!std::isfinite(value))
    return nullptr;
  // The JSON library prints doubles exactly; pick the double nearest to the
  // float's shortest decimal form, so the text stays short, and fall back to
  // the float's own value if that double would not round back to it.
  char buffer[32];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
  double shortest = 0.0;
  const auto parsed = std::from_chars(buffer, written.ptr, shortest);
  if (written.ec == std::errc() && parsed.ec == std::errc() &&
      static_cast<float>(shortest) == value)
    return shortest;
  return static_cast<double>(value);
}

nlohmann::ordered_json podJson(const PodState& pod) {
  return {{"id", pod.id},
          {"team", pod.team},
          {"x", floatJson(pod.position.x)},
          {"y", floatJson(pod.position.y)},
          {"vx", floatJson(pod.velocity.x)},
          {"vy", floatJson(pod.velocity.y)},
          {"angle", floatJson(pod.angle)},
          {"nextCheckpoint", pod.nextCheckpoint},
          {"checkpointsCleared", pod.checkpointsCleared},
          {"shieldCooldown", floatJson(pod.shieldCooldown)},
          {"timeout", floatJson(pod.timeout)},
          {"engine", floatJson(pod.engine)}};
}

namespace {

nlohmann::ordered_json podsJson(const Race& race) {
  auto pods = nlohmann::ordered_json::array();
  for (const auto& pod : race.pods)
    pods.push_back(podJson(pod));
  return pods;
}

} // namespace

TraceWriter::TraceWriter(std::ostream& out, const Track& track, bool timeAttack,
                         std::vector<std::string> teamNames)
    : out_(out), track_(track), timeAttack_(timeAttack), teamNames_(std::move(teamNames)) {}

void TraceWriter::raceStarted(const Race& start) {
  auto checkpoints = nlohmann::ordered_json::array();
  for (const auto& c : track_.checkpoints)
    checkpoints.push_back({floatJson(c.position.x), floatJson(c.position.y)});
  const nlohmann::ordered_json header = {
      {"format", "vuzuder-trace"},
      {"version", 1},
      {"track", {{"name", track_.name}, {"checkpoints", checkpoints}}},
      {"timeAttack", timeAttack_},
      {"podsPerTeam", start.nbPodsPerTeam},
      {"teams", teamNames_},
      {"turnTime", floatJson(kTurnTime)},
      {"pods", podsJson(start)}};
  out_ << header.dump() << '\n';
}

void TraceWriter::turnPlayed(int turn, const std::vector<Influence>& influences,
                             const std::vector<PhysicsEvent>& events, const Race& state) {
  auto commands = nlohmann::ordered_json::array();
  for (const auto& inf : influences)
    commands.push_back({floatJson(inf.rotation), floatJson(inf.thrust), inf.shield});
  auto happenings = nlohmann::ordered_json::array();
  for (const auto& e : events)
    happenings.push_back({{"type", e.type == PhysicsEvent::PodCollision ? "collision" : "checkpoint"},
                          {"first", e.firstId},
                          {"second", e.secondId},
                          {"time", floatJson(e.time)}});
  const nlohmann::ordered_json line = {{"turn", turn},
                               {"influences", commands},
                               {"pods", podsJson(state)},
                               {"events", happenings},
                               {"winner", state.winner},
                               {"byTimeout", state.byTimeout}};
  out_ << line.dump() << '\n';
}

void TraceWriter::forfeited(const bots::Problem& problem, int winner) {
  const nlohmann::ordered_json line = {{"turn", problem.turn},
                                       {"forfeit",
                                        {{"team", problem.team},
                                         {"reason", bots::faultName(problem.fault)},
                                         {"detail", problem.detail},
                                         {"line", problem.line}}},
                                       {"winner", winner}};
  out_ << line.dump() << '\n';
}

} // namespace pod::arena
