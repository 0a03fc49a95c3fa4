#include "trace/tracewriter.h"

#include "trace/trace.h"

#include <charconv>
#include <cmath>

namespace pod {

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

std::string jsonText(const nlohmann::ordered_json& j, int indent) {
  return j.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
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

void writeTraceHeader(std::ostream& out, const Track& track, bool timeAttack,
                      const std::vector<std::string>& teamNames, const Race& start,
                      float turnTime) {
  auto checkpoints = nlohmann::ordered_json::array();
  for (const auto& c : track.checkpoints)
    checkpoints.push_back({floatJson(c.position.x), floatJson(c.position.y)});
  const nlohmann::ordered_json header = {
      {"format", "vuzuder-trace"},
      {"version", 1},
      {"track", {{"name", track.name}, {"checkpoints", checkpoints}}},
      {"timeAttack", timeAttack},
      {"podsPerTeam", start.nbPodsPerTeam},
      {"teams", teamNames},
      {"turnTime", floatJson(turnTime)},
      {"pods", podsJson(start)}};
  out << jsonText(header) << '\n';
}

void writeTraceTurn(std::ostream& out, int turn, const std::vector<Influence>& influences,
                    const std::vector<PhysicsEvent>& events, const Race& state) {
  auto commands = nlohmann::ordered_json::array();
  for (const auto& inf : influences)
    commands.push_back({floatJson(inf.rotation), floatJson(inf.thrust), inf.shield});
  auto happenings = nlohmann::ordered_json::array();
  for (const auto& e : events)
    happenings.push_back(
        {{"type", e.type == PhysicsEvent::PodCollision ? "collision" : "checkpoint"},
         {"first", e.firstId},
         {"second", e.secondId},
         {"time", floatJson(e.time)}});
  const nlohmann::ordered_json line = {
      {"turn", turn},         {"influences", commands}, {"pods", podsJson(state)},
      {"events", happenings}, {"winner", state.winner}, {"byTimeout", state.byTimeout}};
  out << jsonText(line) << '\n';
}

void writeTrace(std::ostream& out, const Trace& trace) {
  writeTraceHeader(out, trace.track, trace.timeAttack, trace.teams, trace.start, trace.turnTime);
  for (const TraceTurn& t : trace.turns)
    writeTraceTurn(out, t.turn, t.influences, t.events, t.state);
}

TraceWriter::TraceWriter(std::ostream& out, const Track& track, bool timeAttack,
                         std::vector<std::string> teamNames, float turnTime)
    : out_(out), track_(track), timeAttack_(timeAttack), teamNames_(std::move(teamNames)),
      turnTime_(turnTime) {}

void TraceWriter::raceStarted(const Race& start) {
  writeTraceHeader(out_, track_, timeAttack_, teamNames_, start, turnTime_);
}

void TraceWriter::turnPlayed(int turn, const std::vector<Influence>& influences,
                             const std::vector<PhysicsEvent>& events, const Race& state) {
  writeTraceTurn(out_, turn, influences, events, state);
}

void TraceWriter::forfeited(const Forfeit& forfeit, int winner) {
  const nlohmann::ordered_json line = {{"turn", forfeit.turn},
                                       {"forfeit",
                                        {{"team", forfeit.team},
                                         {"reason", forfeit.reason},
                                         {"detail", forfeit.detail},
                                         {"line", forfeit.line}}},
                                       {"winner", winner}};
  out_ << jsonText(line) << '\n';
}

} // namespace pod
