#include "simulation/replaycursor.h"

#include <algorithm>

namespace pod {

void ReplayCursor::reset(std::size_t lastTurn) {
  last_ = lastTurn;
  turn_ = 0;
  paused_ = false;
}

ReplayCursor::Move ReplayCursor::advance() {
  if (!running())
    return Move::None;
  ++turn_;
  return Move::Forward;
}

ReplayCursor::Move ReplayCursor::stepForward() {
  if (!paused_ || atEnd())
    return Move::None;
  ++turn_;
  return Move::Forward;
}

ReplayCursor::Move ReplayCursor::stepBack() {
  if (!paused_ || turn_ == 0)
    return Move::None;
  --turn_;
  return Move::Jump;
}

ReplayCursor::Move ReplayCursor::seek(std::size_t turn) {
  turn = std::min(turn, last_);
  if (turn == turn_)
    return Move::None;
  turn_ = turn;
  return Move::Jump;
}

std::size_t ReplayCursor::turnAtProgress(const std::vector<float>& leaderTicks, float ticks) {
  for (std::size_t i = 0; i < leaderTicks.size(); ++i)
    if (leaderTicks[i] >= ticks)
      return i;
  return leaderTicks.empty() ? 0 : leaderTicks.size() - 1;
}

std::string ReplayCursor::status(bool truncated) const {
  std::string s = "Replay  turn " + std::to_string(turn_) + " / " + std::to_string(last_);
  if (paused_)
    s += "  paused";
  if (truncated)
    s += "  (file cut short: ends at its last whole turn)";
  return s;
}

} // namespace pod
