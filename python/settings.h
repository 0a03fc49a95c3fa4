#pragma once

// Settings and commands from Python arguments, for the module's classes.

#include "engine/learnrace.h"

#include "badinput.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

namespace pod::learn::python {

namespace py = pybind11;

// Empty: the game's own tracks, shipped and the player's, wherever its data
// is found (the working folder's resources/, VUZUDER_DATA, the install).
constexpr const char* kTracksDir = "";

// The arena's bad-input exception as Python's ValueError.
template <class F>
auto checked(F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const arena::BadInput& bad) {
    throw py::value_error(bad.message);
  }
}

RaceSettings makeSettings(const py::object& track, const py::object& opponent,
                          const py::object& bot, int team, bool timeAttack, int thinkEvals,
                          const std::string& speed, int maxTurns, const std::string& name,
                          const std::string& tracksDir, int botFirstMs, int botTurnMs);

// Any array-like of shape (count, pods, 3), or (pods, 3) when count is 0, as
// C-ordered doubles; refuses non-numbers, NaN and infinities with a reason.
py::array_t<double> actionsOf(const py::handle& action, int count, int pods, const char* what);
// The same, as commands.
std::vector<Influence> commandsOf(const py::handle& action, int count, int pods,
                                  const char* what);

// vuzuder._core.BotObserver
void bindBotObserver(py::module_& m);

} // namespace pod::learn::python
