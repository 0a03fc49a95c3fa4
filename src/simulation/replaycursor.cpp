#include "simulation/replaycursor.h"

#include <algorithm>
#include <cstdio>

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

void ReplayCursor::status(bool truncated, std::string& out) const {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "Replay  turn %zu / %zu%s", turn_, last_,
                paused_ ? "  paused" : "");
  out = buffer;
  if (truncated)
    out += "  (file cut short: ends at its last whole turn)";
}

} // namespace pod
