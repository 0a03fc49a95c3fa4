#include "settings.h"

#include "resolve.h"
#include "speed.h"

#include "bots/commandwords.h"
#include "race/gamespeed.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace pod::learn::python {

namespace {

std::vector<std::string> trackArguments(const py::object& track) {
  if (track.is_none())
    return {};
  if (py::isinstance<py::str>(track))
    return {track.cast<std::string>()};
  if (py::isinstance<py::bytes>(track))
    throw py::type_error("track must be a name, a path or a list of them, not bytes");
  try {
    return track.cast<std::vector<std::string>>();
  } catch (const py::cast_error&) {
    throw py::type_error("track must be a name, a path, \"random\" or a list of them");
  }
}

// Names, paths and "random" as the tracks of the episodes; none: every
// track of the folder.
std::vector<std::shared_ptr<const Track>> resolveTracks(const py::object& track,
                                                        const std::string& dir) {
  const std::vector<std::string> args = trackArguments(track);
  return checked([&] {
    std::vector<std::shared_ptr<const Track>> tracks;
    std::unique_ptr<std::vector<arena::TrackFile>> folder;
    auto needFolder = [&] {
      if (!folder)
        folder = std::make_unique<std::vector<arena::TrackFile>>(arena::loadFolder(dir));
    };
    if (args.empty()) {
      needFolder();
      for (const auto& f : *folder) {
        if (!f.loaded)
          throw arena::BadInput{"invalid track '" + f.path + "': " + f.error};
        tracks.push_back(std::make_shared<const Track>(f.track));
      }
      if (tracks.empty())
        throw arena::BadInput{"no tracks in '" + arena::shippedTracks(dir) + "'"};
    }
    for (const auto& a : args) {
      if (a == "random") {
        tracks.push_back(nullptr);
        continue;
      }
      if (!arena::isPathLike(a))
        needFolder();
      tracks.push_back(std::make_shared<const Track>(arena::resolveTrack(a, folder.get()).first));
    }
    return tracks;
  });
}

} // namespace

RaceSettings makeSettings(const py::object& track, const py::object& opponent,
                          const py::object& bot, int team, bool timeAttack, int thinkEvals,
                          const std::string& speed, int maxTurns, const std::string& name,
                          const std::string& tracksDir, int botFirstMs, int botTurnMs) {
  RaceSettings s;
  s.timeAttack = timeAttack;
  s.team = team;
  s.thinkEvals = thinkEvals;
  s.maxTurns = maxTurns;
  s.name = name;
  s.botFirstMs = botFirstMs;
  s.botTurnMs = botTurnMs;
  const int speedIndex = arena::speedIndexOf(speed);
  if (speedIndex < 0)
    throw py::value_error("unknown speed '" + speed + "' (speeds: x0.5, x1, x1.5, x2, x3, x4)");
  s.turnSeconds = gamespeed::kTurnSeconds[speedIndex];
  if (!bot.is_none()) {
    if (!opponent.is_none() && !(py::isinstance<py::str>(opponent) &&
                                 opponent.cast<std::string>() == "Steering heuristics"))
      throw py::value_error("give either an opponent or a bot, not both");
    if (!py::isinstance<py::str>(bot))
      throw py::type_error("bot must be a command line (a str)");
    const std::string command = bot.cast<std::string>();
    std::string error;
    s.botWords = bots::splitCommandWords(command, &error);
    if (!error.empty())
      throw py::value_error("bad bot command '" + command + "': " + error);
    if (s.botWords.empty())
      throw py::value_error("empty bot command");
    s.opponent = Opponent::Bot;
    s.opponentName = s.botWords.front();
  } else if (opponent.is_none()) {
    s.opponent = Opponent::None;
  } else if (!py::isinstance<py::str>(opponent)) {
    throw py::type_error("opponent must be a driver name, \"self\" or None");
  } else if (opponent.cast<std::string>() == "self") {
    s.opponent = Opponent::SelfPlay;
  } else {
    s.opponent = Opponent::Driver;
    const std::string wanted = opponent.cast<std::string>();
    s.driver = checked([&] { return arena::resolveDriver(wanted, timeAttack); });
  }
  s.tracks = resolveTracks(track, tracksDir);
  validate(s);
  return s;
}

py::array_t<double> actionsOf(const py::handle& action, int count, int pods, const char* what) {
  py::array raw = py::array::ensure(action);
  if (!raw)
    throw py::type_error(std::string(what) + " must be an array of numbers");
  const char kind = raw.dtype().kind();
  if (kind != 'f' && kind != 'i' && kind != 'u' && kind != 'b')
    throw py::type_error(std::string(what) + " must hold real numbers, not dtype " +
                         std::string(py::str(raw.dtype())));
  auto values = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(raw);
  std::vector<py::ssize_t> want;
  if (count > 0)
    want.push_back(count);
  want.push_back(pods);
  want.push_back(3);
  bool good = values.ndim() == static_cast<py::ssize_t>(want.size());
  for (std::size_t d = 0; good && d < want.size(); ++d)
    good = values.shape(static_cast<py::ssize_t>(d)) == want[d];
  // One pod: (3,) will do for (1, 3).
  if (!good && count == 0 && pods == 1 && values.ndim() == 1 && values.shape(0) == 3)
    good = true;
  if (!good) {
    auto shape = [](auto begin, auto end) {
      std::string t = "(";
      for (auto it = begin; it != end; ++it)
        t += std::to_string(*it) + (end - begin == 1 ? ",)" : it + 1 == end ? ")" : ", ");
      return t == "(" ? std::string("()") : t;
    };
    std::vector<py::ssize_t> got(values.shape(), values.shape() + values.ndim());
    throw py::value_error(std::string(what) + " must have shape " +
                          shape(want.begin(), want.end()) + ", got " +
                          shape(got.begin(), got.end()));
  }
  const double* v = values.data();
  const std::size_t n = static_cast<std::size_t>(std::max(count, 1) * pods) * 3;
  // A double is NaN or infinite when its exponent bits are all set, and
  // then adding one to its exponent carries into the top bit: one pass of
  // integer work the compiler can vectorise, and the search for the culprit
  // only when there is one.
  constexpr std::uint64_t kExponent = 0x7ff0000000000000ull, kOne = 0x0010000000000000ull;
  std::uint64_t bad = 0;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint64_t bits;
    std::memcpy(&bits, v + i, sizeof bits);
    bad |= (bits & kExponent) + kOne;
  }
  if (bad >> 63) {
    std::size_t i = 0;
    while (i < n && std::isfinite(v[i]))
      ++i;
    const std::size_t command = i / 3, pod = command % static_cast<std::size_t>(pods);
    std::string where = count > 0 ? "race " + std::to_string(command / pods) + ", pod " : "pod ";
    throw py::value_error(std::string(what) + " holds NaN or infinity (" + where +
                          std::to_string(pod) + ")");
  }
  return values;
}

std::vector<Influence> commandsOf(const py::handle& action, int count, int pods,
                                  const char* what) {
  const py::array_t<double> values = actionsOf(action, count, pods, what);
  const double* v = values.data();
  std::vector<Influence> out(static_cast<std::size_t>(std::max(count, 1) * pods));
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = commandOf(v[3 * i], v[3 * i + 1], v[3 * i + 2]);
  return out;
}

} // namespace pod::learn::python
