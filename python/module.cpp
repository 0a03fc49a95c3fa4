// The race engine as the Python module vuzuder._core.

#include "engine/learnrace.h"
#include "engine/vectorrace.h"
#include "settings.h"

#include "racerunner.h"
#include "resolve.h"

#include "brains/driverregistry.h"
#include "trace/tracewriter.h"

#include <qutils/random.h>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <fstream>
#include <optional>

namespace py = pybind11;
using namespace pod;
using namespace pod::learn;
using namespace pod::learn::python;

namespace {

py::array_t<double> stateArray(const Race& race) {
  py::array_t<double> a({static_cast<py::ssize_t>(race.pods.size()),
                         static_cast<py::ssize_t>(kStateFields)});
  rawState(race, a.mutable_data());
  return a;
}

py::dict endingInfo(const Ending& e) {
  py::dict d;
  d["winner"] = e.winner;
  d["by_timeout"] = e.byTimeout;
  d["turn"] = e.turns;
  d["truncated"] = e.truncated;
  d["episode_seed"] = e.episodeSeed;
  d["track"] = e.track;
  return d;
}

// One race, with the Gymnasium calls.
class PyRace {
public:
  PyRace(RaceSettings settings, std::uint64_t seed)
      : race_(std::move(settings)), base_(seed) {}

  py::tuple reset(const py::object& seed, const py::object& options) {
    if (!options.is_none() && !py::isinstance<py::dict>(options))
      throw py::type_error("options must be a dict or None");
    if (!seed.is_none()) {
      base_ = seed.cast<std::uint64_t>();
      episodes_ = 0;
    }
    // The first episode of a seed is the arena's race of that seed.
    const std::uint64_t episode =
        episodes_ == 0 ? base_ : qutils::deriveSeed(base_, episodes_);
    ++episodes_;
    race_.reset(episode);
    return py::make_tuple(observation(), info());
  }

  py::tuple step(const py::handle& action, const py::handle& other) {
    const int pods = race_.ownPods();
    const std::vector<Influence> own = commandsOf(action, 0, pods, "action");
    std::vector<Influence> second;
    if (race_.settings().opponent == Opponent::SelfPlay) {
      if (other.is_none())
        throw py::value_error("self-play: step needs the other team's action too");
      second = commandsOf(other, 0, pods, "other action");
    } else if (!other.is_none()) {
      throw py::value_error("a second action is for self-play (opponent=\"self\") only");
    }
    float reward;
    {
      // A bot opponent may take its time: other Python threads run meanwhile.
      std::optional<py::gil_scoped_release> release;
      if (race_.settings().opponent == Opponent::Bot)
        release.emplace();
      reward = race_.step(own.data(), second.empty() ? nullptr : second.data());
    }
    return py::make_tuple(observation(), reward, race_.terminated(), race_.truncated(), info());
  }

  py::array_t<float> observation() const {
    py::array_t<float> obs(observationSize(race_.settings()));
    race_.observation(obs.mutable_data());
    return obs;
  }

  py::array_t<float> observationFor(int team) const {
    if (team < 0 || team >= race_.teams())
      throw py::value_error("no team " + std::to_string(team));
    py::array_t<float> obs(observationSize(race_.settings()));
    race_.observationFor(team, obs.mutable_data());
    return obs;
  }

  py::dict info() const {
    py::dict d;
    d["state"] = stateArray(race_.state());
    d["turn"] = race_.turn();
    d["winner"] = race_.winner();
    if (race_.done()) {
      d["by_timeout"] = race_.byTimeout();
      d["track"] = race_.track().name;
      d["episode_seed"] = race_.episodeSeed();
    }
    return d;
  }

  void saveTrace(const std::string& path) const {
    if (!race_.settings().record)
      throw py::value_error("this race was made with record=False: no trace to save");
    std::ofstream out(path, std::ios::trunc | std::ios::binary);
    if (!out)
      throw py::value_error("cannot write the trace file '" + path + "'");
    writeTrace(out, race_.trace());
    out.flush();
    if (!out)
      throw py::value_error("cannot write the trace file '" + path + "'");
  }

  const LearnRace& race() const { return race_; }

private:
  LearnRace race_;
  std::uint64_t base_;
  std::uint64_t episodes_ = 0;
};

class PyVectorRace {
public:
  PyVectorRace(int n, const RaceSettings& settings, std::uint64_t seed, int threads)
      : vec_(n, settings, seed, threads), seed_(seed),
        dim_(observationSize(settings)), finals_(static_cast<std::size_t>(n) * dim_),
        empty_(py::module_::import("numpy").attr("empty")) {}

  py::tuple reset(const py::object& seed, const py::object& options) {
    if (!options.is_none() && !py::isinstance<py::dict>(options))
      throw py::type_error("options must be a dict or None");
    if (!seed.is_none())
      seed_ = seed.cast<std::uint64_t>();
    std::vector<std::uint64_t> streams;
    if (!options.is_none() && options.contains("seeds")) {
      try {
        streams = options["seeds"].cast<std::vector<std::uint64_t>>();
      } catch (const py::cast_error&) {
        throw py::type_error("options[\"seeds\"] must be a list of seeds (unsigned integers)");
      }
    }
    py::array_t<float> obs({static_cast<py::ssize_t>(vec_.size()), static_cast<py::ssize_t>(dim_)});
    if (!streams.empty()) {
      py::gil_scoped_release release;
      vec_.reset(streams, obs.mutable_data());
    } else {
      py::gil_scoped_release release;
      vec_.reset(seed_, obs.mutable_data());
    }
    return py::make_tuple(obs, py::dict());
  }

  py::tuple step(const py::handle& actions, const py::handle& others) {
    const int n = vec_.size();
    const int pods = ownPodsOf(vec_.settings());
    const py::array_t<double> own = actionsOf(actions, n, pods, "actions");
    py::array_t<double> second;
    const bool selfPlay = vec_.settings().opponent == Opponent::SelfPlay;
    if (selfPlay) {
      if (others.is_none())
        throw py::value_error("self-play: step needs the other teams' actions too");
      second = actionsOf(others, n, pods, "other actions");
    } else if (!others.is_none()) {
      throw py::value_error("other actions are for self-play (opponent=\"self\") only");
    }
    const py::ssize_t rows = n;
    py::array_t<float> obs({rows, static_cast<py::ssize_t>(dim_)});
    py::array_t<float> rewards(rows);
    py::array_t<bool> terminated(rows);
    py::array_t<bool> truncated(rows);
    {
      py::gil_scoped_release release;
      vec_.step(own.data(), selfPlay ? second.data() : nullptr, obs.mutable_data(),
                rewards.mutable_data(), terminated.mutable_data(), truncated.mutable_data(),
                finals_.data());
    }
    py::dict info;
    const auto& endings = vec_.endings();
    const bool* term = terminated.data();
    const bool* trunc = truncated.data();
    bool any = false;
    for (py::ssize_t i = 0; i < rows; ++i)
      any = any || term[i] || trunc[i];
    if (any) {
      // Gymnasium's vector convention: the last observation and info of every
      // race that ended, where its next episode's first observation went.
      py::array finalObs = empty_(rows, py::arg("dtype") = "object");
      py::array finalInfo = empty_(rows, py::arg("dtype") = "object");
      py::array_t<bool> mask(rows);
      bool* ended = mask.mutable_data();
      // The slots of a new object array each hold a reference to None.
      auto put = [](py::array& a, py::ssize_t i, py::object value) {
        PyObject** slot = static_cast<PyObject**>(a.mutable_data()) + i;
        Py_XDECREF(*slot);
        *slot = value.release().ptr();
      };
      for (py::ssize_t i = 0; i < rows; ++i) {
        ended[i] = term[i] || trunc[i];
        if (!ended[i])
          continue;
        const Ending& e = endings[static_cast<std::size_t>(i)];
        py::array_t<float> last(static_cast<py::ssize_t>(dim_));
        std::copy(finals_.begin() + i * dim_, finals_.begin() + (i + 1) * dim_,
                  last.mutable_data());
        put(finalObs, i, std::move(last));
        put(finalInfo, i, endingInfo(e));
      }
      info["final_observation"] = finalObs;
      info["_final_observation"] = mask;
      info["final_info"] = finalInfo;
      info["_final_info"] = mask;
    }
    return py::make_tuple(obs, rewards, terminated, truncated, info);
  }

  py::array_t<double> states() const {
    const py::ssize_t n = vec_.size();
    const py::ssize_t pods = static_cast<py::ssize_t>(vec_.race(0).state().pods.size());
    py::array_t<double> a({n, pods, static_cast<py::ssize_t>(kStateFields)});
    for (py::ssize_t i = 0; i < n; ++i)
      rawState(vec_.race(static_cast<int>(i)).state(), a.mutable_data(i, 0, 0));
    return a;
  }

  const VectorRace& vec() const { return vec_; }

private:
  VectorRace vec_;
  std::uint64_t seed_;
  std::size_t dim_;
  std::vector<float> finals_;
  py::object empty_; // numpy.empty
};

} // namespace

PYBIND11_MODULE(_core, m) {
  m.doc() = "The Vuzuder UR race engine: races for learning, stepped in C++.";
  static py::exception<BotFailed> botError(m, "BotError", PyExc_RuntimeError);
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p)
        std::rethrow_exception(p);
    } catch (const BotFailed& e) {
      PyErr_SetString(botError.ptr(), e.what());
    } catch (const arena::BadInput& e) {
      PyErr_SetString(PyExc_ValueError, e.message.c_str());
    }
  });

  m.def("driver_names", &computerDriverNames, py::arg("time_attack") = false,
        "The built-in drivers of a mode, by the names the arena and the menu use.");
  m.def(
      "track_names",
      [](const std::string& dir) {
        return checked([&] {
          std::vector<std::string> names;
          for (const auto& f : arena::loadFolder(dir))
            if (f.loaded)
              names.push_back(f.track.name);
          return names;
        });
      },
      py::arg("tracks_dir") = kTracksDir, "The names of the tracks of a folder (empty: the game's tracks).");
  m.def(
      "max_turns",
      [](int checkpoints, bool timeAttack) {
        if (checkpoints < 2)
          throw py::value_error("a track needs at least 2 checkpoints");
        Track t;
        t.checkpoints.resize(static_cast<std::size_t>(checkpoints));
        return arena::maxTurnsFor(t, timeAttack);
      },
      py::arg("checkpoints"), py::arg("time_attack") = false,
      "The arena's turn cap for a track of that many checkpoints.");

  py::class_<PyRace>(m, "Race", py::dynamic_attr())
      .def(py::init([](const py::object& track, const py::object& opponent, const py::object& bot,
                       int team, bool timeAttack, int thinkEvals, const std::string& speed,
                       int maxTurns, std::uint64_t seed, const std::string& name, bool record,
                       const std::string& tracksDir, int botFirstMs, int botTurnMs) {
             RaceSettings s = makeSettings(track, opponent, bot, team, timeAttack, thinkEvals,
                                           speed, maxTurns, name, tracksDir, botFirstMs,
                                           botTurnMs);
             s.record = record;
             return std::make_unique<PyRace>(std::move(s), seed);
           }),
           py::arg("track") = py::none(), py::arg("opponent") = "Steering heuristics",
           py::arg("bot") = py::none(), py::arg("team") = 0, py::arg("time_attack") = false,
           py::arg("think_evals") = 15000, py::arg("speed") = "x2", py::arg("max_turns") = 0,
           py::arg("seed") = 0, py::arg("name") = "python", py::arg("record") = true,
           py::arg("tracks_dir") = kTracksDir, py::arg("bot_first_ms") = 1000,
           py::arg("bot_turn_ms") = 50)
      .def("reset", &PyRace::reset, py::kw_only(), py::arg("seed") = py::none(),
           py::arg("options") = py::none())
      .def("step", &PyRace::step, py::arg("action"), py::arg("other") = py::none())
      .def("observation", &PyRace::observationFor, py::arg("team"),
           "The observation of a team: the other side's view in self-play.")
      .def("save_trace", &PyRace::saveTrace, py::arg("path"))
      .def_property_readonly("observation_size",
                             [](const PyRace& r) { return observationSize(r.race().settings()); })
      .def_property_readonly("own_pods", [](const PyRace& r) { return r.race().ownPods(); })
      .def_property_readonly("team", [](const PyRace& r) { return r.race().settings().team; })
      .def_property_readonly("turn", [](const PyRace& r) { return r.race().turn(); })
      .def_property_readonly("max_turns", [](const PyRace& r) { return r.race().maxTurns(); })
      .def_property_readonly("track_name", [](const PyRace& r) { return r.race().track().name; })
      .def_property_readonly("checkpoints", [](const PyRace& r) {
        std::vector<std::pair<float, float>> c;
        for (const auto& cp : r.race().track().checkpoints)
          c.emplace_back(cp.position.x, cp.position.y);
        return c;
      });

  py::class_<PyVectorRace>(m, "VectorRace", py::dynamic_attr())
      .def(py::init([](int n, const py::object& track, const py::object& opponent, int team,
                       bool timeAttack, int thinkEvals, const std::string& speed, int maxTurns,
                       std::uint64_t seed, int threads, const std::string& tracksDir) {
             if (threads < 1)
               throw py::value_error("threads must be at least 1 (got " +
                                     std::to_string(threads) + ")");
             if (threads > 256)
               throw py::value_error("threads must be at most 256");
             RaceSettings s = makeSettings(track, opponent, py::none(), team, timeAttack,
                                           thinkEvals, speed, maxTurns, "python", tracksDir,
                                           1000, 50);
             return std::make_unique<PyVectorRace>(n, s, seed, threads);
           }),
           py::arg("n"), py::arg("track") = py::none(), py::arg("opponent") = "Steering heuristics",
           py::arg("team") = 0, py::arg("time_attack") = false, py::arg("think_evals") = 15000,
           py::arg("speed") = "x2", py::arg("max_turns") = 0, py::arg("seed") = 0,
           py::arg("threads") = 1, py::arg("tracks_dir") = kTracksDir)
      .def("reset", &PyVectorRace::reset, py::kw_only(), py::arg("seed") = py::none(),
           py::arg("options") = py::none())
      .def("step", &PyVectorRace::step, py::arg("actions"), py::arg("others") = py::none())
      .def("states", &PyVectorRace::states,
           "The raw state of every race: [n, pods, 12], the bot protocol's fields.")
      .def_property_readonly("num_envs", [](const PyVectorRace& v) { return v.vec().size(); })
      .def_property_readonly("threads", [](const PyVectorRace& v) { return v.vec().threads(); })
      .def_property_readonly(
          "observation_size",
          [](const PyVectorRace& v) { return observationSize(v.vec().settings()); })
      .def_property_readonly("own_pods",
                             [](const PyVectorRace& v) { return ownPodsOf(v.vec().settings()); });

  bindBotObserver(m);
}
