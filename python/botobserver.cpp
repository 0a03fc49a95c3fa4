#include "settings.h"

#include "racerunner.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <charconv>

namespace pod::learn::python {

namespace {

// The observation of a bot: the greeting's track and team, then every turn's
// pod lines, read exactly as the race's floats.
class BotObserver {
public:
  BotObserver(const std::vector<std::string>& checkpoints, int team, int teams,
              bool timeAttack)
      : team_(team) {
    if (checkpoints.size() < 2)
      throw py::value_error("a track needs at least 2 checkpoints");
    if (teams < 1 || teams > 4 || (!timeAttack && teams != 2))
      throw py::value_error("bad team count " + std::to_string(teams));
    if (team < 0 || team >= teams)
      throw py::value_error("bad team " + std::to_string(team));
    for (std::size_t i = 0; i < checkpoints.size(); ++i) {
      Checkpoint c;
      c.id = static_cast<std::uint32_t>(i) + constants::kCheckpointIdOffset;
      const std::string& line = checkpoints[i];
      const char* at = line.data();
      const char* end = at + line.size();
      for (float* v : {&c.position.x, &c.position.y}) {
        while (at < end && (*at == ' ' || *at == '\t'))
          ++at;
        const auto r = std::from_chars(at, end, *v);
        if (r.ec != std::errc())
          throw py::value_error("bad checkpoint line '" + line + "'");
        at = r.ptr;
      }
      track_.checkpoints.push_back(c);
    }
    race_.nbPodsPerTeam = timeAttack ? 1 : 2;
    race_.timeAttack = timeAttack;
    race_.pods.resize(static_cast<std::size_t>(teams * race_.nbPodsPerTeam));
    maxTurns_ = arena::maxTurnsFor(track_, timeAttack);
    RaceSettings s;
    s.timeAttack = timeAttack;
    s.opponent = teams > 1 ? Opponent::Driver : Opponent::None;
    size_ = timeAttack ? teams * kPodFields + kOwnFields + 1 : observationSize(s);
  }

  py::array_t<float> observe(int turn, const std::vector<std::string>& lines) {
    if (lines.size() != race_.pods.size())
      throw py::value_error("expected " + std::to_string(race_.pods.size()) + " pod lines, got " +
                            std::to_string(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i)
      parsePod(lines[i], race_.pods[i]);
    py::array_t<float> obs(size_);
    // Turn N is about to be played: N - 1 are behind.
    learn::observe(race_, track_, team_, turn - 1, maxTurns_, obs.mutable_data());
    return obs;
  }

  int maxTurns() const { return maxTurns_; }

private:
  void parsePod(const std::string& line, PodState& p) const {
    const char* at = line.data();
    const char* end = at + line.size();
    auto skip = [&] {
      while (at < end && (*at == ' ' || *at == '\t' || *at == '\r'))
        ++at;
    };
    auto real = [&](float& v) {
      skip();
      const auto r = std::from_chars(at, end, v);
      if (r.ec != std::errc())
        throw py::value_error("bad pod line '" + line + "'");
      at = r.ptr;
    };
    auto whole = [&](auto& v) {
      skip();
      long long x = 0;
      const auto r = std::from_chars(at, end, x);
      if (r.ec != std::errc())
        throw py::value_error("bad pod line '" + line + "'");
      at = r.ptr;
      v = static_cast<std::remove_reference_t<decltype(v)>>(x);
    };
    whole(p.id);
    whole(p.team);
    real(p.position.x);
    real(p.position.y);
    real(p.velocity.x);
    real(p.velocity.y);
    real(p.angle);
    whole(p.nextCheckpoint);
    whole(p.checkpointsCleared);
    real(p.shieldCooldown);
    real(p.timeout);
    real(p.engine);
    if (p.nextCheckpoint < 0 ||
        static_cast<std::size_t>(p.nextCheckpoint) >= track_.checkpoints.size())
      throw py::value_error("bad pod line '" + line + "'");
  }

  Track track_;
  Race race_;
  int team_;
  int maxTurns_ = 0;
  py::ssize_t size_ = 0;
};

} // namespace

void bindBotObserver(py::module_& m) {
  py::class_<BotObserver>(m, "BotObserver")
      .def(py::init<const std::vector<std::string>&, int, int, bool>(),
           py::arg("checkpoints"), py::arg("team"), py::arg("teams"), py::arg("time_attack"))
      .def("observe", &BotObserver::observe, py::arg("turn"), py::arg("pod_lines"))
      .def_property_readonly("max_turns", &BotObserver::maxTurns);
}

} // namespace pod::learn::python
