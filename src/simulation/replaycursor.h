#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pod {

// Where a replay stands and how the viewer moves it. Turn 0 is the start,
// lastTurn() the end; the turns between are the recorded ones. Headless, so
// the controls are tested without a window.
class ReplayCursor {
public:
  // How the shown turn changed: exactly one turn forward (its events are
  // shown), a jump anywhere else (effects start over), or not at all.
  enum class Move { None, Forward, Jump };

  // A new replay, at its start and playing.
  void reset(std::size_t lastTurn);

  // A turn fell due while playing.
  Move advance();
  // One turn either way; only while paused.
  Move stepForward();
  Move stepBack();
  Move home() { return seek(0); }
  Move end() { return seek(last_); }
  Move seek(std::size_t turn);
  void togglePause() { paused_ = !paused_; }

  std::size_t turn() const { return turn_; }
  std::size_t lastTurn() const { return last_; }
  bool paused() const { return paused_; }
  bool atEnd() const { return turn_ == last_; }
  // Turns fall due only while playing and before the end.
  bool running() const { return !paused_ && !atEnd(); }

  // The first turn at which the leader's progress (one figure per turn, in
  // progress bar ticks) reaches ticks; the last turn when it never does.
  static std::size_t turnAtProgress(const std::vector<float>& leaderTicks, float ticks);

  // "Replay  turn 12 / 345", with the pause and a file cut short noted;
  // written over out, whose storage serves again.
  void status(bool truncated, std::string& out) const;

private:
  std::size_t turn_ = 0;
  std::size_t last_ = 0;
  bool paused_ = false;
};

} // namespace pod
