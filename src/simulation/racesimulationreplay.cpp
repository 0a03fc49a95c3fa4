// The race simulation's recordings: keeping the race played, saving it, and
// showing a recorded race instead of playing one.
#include "simulation/racesimulation.h"

#include "app/coloredpushbutton.h"
#include "simulation/racepanels.h"
#include "simulation/replaycursor.h"
#include "trace/tracefiles.h"

#include <sfmlutils/origin.h>

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Text.hpp>

#include <algorithm>
#include <iostream>
#include <utility>

namespace pod {

namespace {

// Past this a race is no longer kept (over 80 minutes of game time).
constexpr std::size_t cMaxRecordedTurns = 20000;
// Turns recorded without allocating: over eight minutes of game time, where
// two steering heuristics finish in about four. Past them each turn takes
// its own storage, kept as spare for the next races.
constexpr std::size_t cSpareTurns = 2000;
// Events a spare turn holds without growing; most turns have none.
constexpr std::size_t cSpareEvents = 4;
constexpr float cNoticeSeconds = 4.f;

} // namespace

void RaceSimulation::recycleRecording() {
  for (TraceTurn& turn : recording_.turns)
    spareTurns_.push_back(std::move(turn));
  recording_.turns.clear();
}

void RaceSimulation::beginRecording() {
  recycleRecording();
  recording_.begin(track_, teamNames_, physics_.getCurrentState(), turnTime_);
  const std::size_t pods = physics_.getCurrentState().pods.size();
  spareTurns_.resize(std::max(spareTurns_.size(), cSpareTurns));
  for (TraceTurn& turn : spareTurns_) {
    turn.influences.reserve(pods);
    turn.events.reserve(cSpareEvents);
    turn.state.pods.reserve(pods);
  }
  recording_.turns.reserve(spareTurns_.size());
}

void RaceSimulation::recordTurn(const std::vector<Influence>& influences, const Race& state) {
  if (replay_ || recording_.turnCount() >= cMaxRecordedTurns)
    return;
  if (recording_.stateAt(recording_.turnCount()).winner != -1)
    return;
  if (spareTurns_.empty()) {
    recording_.append(influences, events_, state);
    return;
  }
  recording_.append(influences, events_, state, std::move(spareTurns_.back()));
  spareTurns_.pop_back();
}

bool RaceSimulation::launchReplay(Trace trace) {
  releaseBrains();
  clearNotice();
  winnerBoard_.reset();
  if (winnerPanel_)
    winnerPanel_->setVisible(false);
  if (!BaseSimulation::launch(trace.timeAttack, trace.podsPerTeam,
                              static_cast<int>(trace.teams.size()), trace.track, trace.teams))
    return false;
  setPlayerPods(-1, -1);
  setTurnTime(trace.turnTime);
  recycleRecording();
  recording_ = std::move(trace);
  hud_.prepare(recording_.timeAttack, recording_.teams, track_);
  replay_ = true;
  order_.clear();
  leaderTicks_.clear();
  for (std::size_t t = 0; t <= recording_.turnCount(); ++t) {
    float best = 0.f;
    for (const PodState& p : recording_.stateAt(t).pods)
      best = std::max(best, progressTicks(p, track_));
    leaderTicks_.push_back(best);
  }
  replayStatus_.clear();
  showReplayTurn(0, false);
  return true;
}

void RaceSimulation::showReplayTurn(std::size_t turn, bool oneForward) {
  const std::size_t t = std::min(turn, recording_.turnCount());
  const Race& current = recording_.stateAt(t);
  const Race& previous = t == 0 ? current : recording_.stateAt(t - 1);
  static const std::vector<PhysicsEvent> none;
  if (!oneForward)
    clearEffects();
  showRecordedStep(previous, current, oneForward && t > 0 ? recording_.turns[t - 1].events : none,
                   turnTime_ * static_cast<float>(t));
  // Statistics are sums over the race: a jump counts them again.
  if (oneForward) {
    statistics_.record(current);
  } else {
    statistics_.reset(current.pods.size());
    for (std::size_t k = 1; k <= t; ++k)
      statistics_.record(recording_.stateAt(k));
  }
  const bool end = t == recording_.turnCount();
  if (!end)
    winnerBoard_.reset();
  else if (!winnerBoard_.update(current, teamNames_) && !winnerBoard_.isFilled())
    winnerBoard_.show("End of replay", "No winner");
  if (winnerPanel_)
    winnerPanel_->setVisible(end);
}

std::string RaceSimulation::saveReplay() {
  std::string error;
  const std::string path = saveTraceIn(recording_, replayFolder(), error);
  if (path.empty()) {
    showNotice("Could not save the replay: " + error);
    std::cerr << "Could not save the replay: " << error << std::endl;
  } else {
    showNotice("Saved " + path);
    std::cout << "Saved replay " << path << std::endl;
  }
  return path;
}

void RaceSimulation::showNotice(const std::string& text) {
  notice_ = text;
  noticeUntil_ = elapsed() + cNoticeSeconds;
}

void RaceSimulation::clearNotice() {
  notice_.clear();
  noticeUntil_ = 0.f;
}

bool RaceSimulation::replayTurnAt(const Vec2& mouse, std::size_t& turn) const {
  if (!replay_ || leaderTicks_.empty())
    return false;
  const auto [left, width, y] = RaceHud::progressBarSpan(size_, cSidePanelWidth);
  // The whole panel around the bar takes the click, not only its thin line.
  if (mouse.x < left - 14.f || mouse.x > left + width + 14.f || mouse.y < y - 22.f ||
      mouse.y > y + 18.f || width <= 0.f)
    return false;
  const float share = std::clamp((mouse.x - left) / width, 0.f, 1.f);
  turn = ReplayCursor::turnAtProgress(leaderTicks_,
                                      share * static_cast<float>(progressTickCount(track_)));
  return true;
}

void RaceSimulation::drawReplayLines(sf::RenderTarget& target) {
  const bool noticeShown = !notice_.empty() && elapsed() < noticeUntil_;
  if (!replay_ && !noticeShown)
    return;
  const auto [left, width, y] = RaceHud::progressBarSpan(size_, cSidePanelWidth);
  if (!replayLine_.text.getFont()) {
    for (TextLine* line : {&replayLine_, &noticeLine_}) {
      line->text = makeText(14);
      line->text.setOutlineThickness(1.f);
      line->text.setOutlineColor(sf::Color::Black);
    }
    noticeLine_.text.setFillColor(sf::Color(254, 175, 73));
  }
  float lineY = y - 36.f;
  if (replay_) {
    if (replayLine_.set(replayStatus_))
      sfmlutils::centerOrigin(replayLine_.text);
    replayLine_.text.setPosition(size_.x / 2.f, lineY);
    target.draw(replayLine_.text);
    lineY -= 20.f;
  }
  if (noticeShown) {
    if (noticeLine_.set(notice_))
      sfmlutils::centerOrigin(noticeLine_.text);
    noticeLine_.text.setPosition(size_.x / 2.f, lineY);
    target.draw(noticeLine_.text);
  }
}

} // namespace pod
