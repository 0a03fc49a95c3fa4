#include "simulation/racehud.h"

#include "app/podresourcemanager.h"
#include "race/racerules.h"
#include "simulation/basesimulation.h"

#include <sfmlutils/origin.h>
#include <vexa/core/components.h>
#include <vexa/core/resourcemanager.h>

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace pod {

namespace {

const sf::Color cPanelFill(18, 22, 32, 200);
const sf::Color cPanelEdge(110, 140, 170, 160);
const sf::Color cDimText(170, 185, 200);
const sf::Color cGapText(255, 150, 90);
const sf::Color cWinnerTitle(254, 175, 73);

constexpr unsigned cRowSize = 13;
constexpr unsigned cPlateSize = 15;
constexpr float cRowNameLeft = 70.f;
// Past the plate's slanted tabs (texture x 0 to 62 of 256).
constexpr float cPlateNameLeft = 25.f + 64.f * (RaceHud::cOrderPanelWidth - 10.f) / 256.f;
// The race order panel widens for whole names up to this.
constexpr float cMaxOrderWidth = 420.f;
// Room for the widest gap text a race can show ("+ 24 CPs").
constexpr std::size_t cGapChars = 8;

// name itself when it has at most n characters, else its first n - 1 (less
// trailing spaces) and a ".".
std::string fitName(const std::string& name, std::size_t n) {
  if (name.size() <= n || n < 2)
    return name;
  std::string cut = name.substr(0, n - 1);
  while (!cut.empty() && cut.back() == ' ')
    cut.pop_back();
  return cut + ".";
}

// A team's name in the race order: a mirror match says which team is which.
std::string rowNameOf(const std::vector<std::string>& names, std::size_t team) {
  const std::string& name = names[team];
  if (std::count(names.begin(), names.end(), name) > 1)
    return name + " (team " + std::to_string(team + 1) + ")";
  return name;
}

// The characters of a monospaced font that fit in width at this size.
std::size_t charsIn(const sf::Font& font, unsigned size, float width) {
  const float advance = font.getGlyph(U'0', size, false).advance;
  return advance > 0.f ? static_cast<std::size_t>(std::max(0.f, width / advance)) : 64;
}

} // namespace

void RaceHud::setFont(const sf::Font& font) {
  font_ = &font;
  const auto style = [&font](TextLine& line, unsigned size, const sf::Color& colour) {
    line.text.setFont(font);
    line.text.setCharacterSize(size);
    line.text.setFillColor(colour);
  };
  for (TextLine* title : {&title_, &titleSecond_}) {
    style(*title, 32, sf::Color::White);
    title->text.setLetterSpacing(1.5f);
    title->text.setOutlineThickness(1.f);
    title->text.setOutlineColor(sf::Color(10, 14, 24));
  }
  for (std::size_t i = 0; i < cMaxPods; ++i) {
    style(places_[i], cRowSize, sf::Color::White);
    style(names_[i], cRowSize, sf::Color::White);
    style(gaps_[i], cRowSize, cGapText);
  }
  style(plateName_, cPlateSize, sf::Color::White);
  for (std::size_t i = 0; i < statLabels_.size(); ++i) {
    style(statLabels_[i], 14, cDimText);
    style(statValues_[i], 14, sf::Color::White);
  }
  for (TextLine& line : plannerLines_)
    style(line, 12, sf::Color::White);
  plannerLines_[0].text.setFillColor(cDimText);
  style(winnerTitle_, 30, cWinnerTitle);
  winnerTitle_.text.setOutlineThickness(1.f);
  winnerTitle_.text.setOutlineColor(sf::Color::Black);
  style(winnerTeam_, 24, sf::Color::White);
  style(winnerReason_, 13, cDimText);
  style(winnerDetails_, 13, cDimText);
  winnerTeam_.text.setOutlineThickness(1.f);
  winnerTeam_.text.setOutlineColor(sf::Color::Black);

  panel_.setFillColor(cPanelFill);
  panel_.setOutlineColor(cPanelEdge);
  panel_.setOutlineThickness(1.f);
  bar_.setFillColor(sf::Color(90, 110, 130));
  ticks_.setPrimitiveType(sf::Triangles);
  vexa::ResourceManager& resources = vexa::resourceManager();
  plate_.setTexture(resources.texture(TextureId::UiTeamName), true);
  plateMask_.setTexture(resources.texture(TextureId::UiTeamNameMask), true);
}

void RaceHud::prepare(bool timeAttack, const std::vector<std::string>& teamNames,
                      const Track& track) {
  timeAttack_ = timeAttack;
  for (TextLine* title : {&title_, &titleSecond_}) {
    title->text.setCharacterSize(timeAttack ? 22 : 32);
    title->forget();
  }
  title_.set(timeAttack ? "TIME" : "RACE");
  titleSecond_.set(timeAttack ? "ATTACK" : "");
  for (TextLine* title : {&title_, &titleSecond_})
    sfmlutils::topCenterOrigin(title->text);

  rowNames_.clear();
  plateNames_.clear();
  // The order panel widens so that every name shows whole (a mirror match
  // must read as two teams); only names past its widest are cut.
  std::size_t longest = 0;
  for (std::size_t team = 0; team < teamNames.size(); ++team)
    longest = std::max(longest, rowNameOf(teamNames, team).size());
  std::size_t rowChars = 64;
  std::size_t plateChars = 64;
  orderWidth_ = cOrderPanelWidth;
  if (font_) {
    const float advance = font_->getGlyph(U'0', cRowSize, false).advance;
    const float needed = cRowNameLeft - 20.f + 2.f +
                         advance * static_cast<float>(longest + cGapChars + 1) + 8.f;
    orderWidth_ = std::clamp(needed, cOrderPanelWidth, cMaxOrderWidth);
    const float right = 20.f + orderWidth_ - 8.f;
    rowChars = charsIn(*font_, cRowSize, right - cRowNameLeft - 2.f) - (cGapChars + 1);
    plateChars = charsIn(*font_, cPlateSize, 20.f + cOrderPanelWidth - 12.f - cPlateNameLeft);
  }
  for (std::size_t team = 0; team < teamNames.size(); ++team) {
    rowNames_.push_back(fitName(rowNameOf(teamNames, team), rowChars));
    plateNames_.push_back(fitName(teamNames[team], plateChars));
  }
  tickCount_ = progressTickCount(track);
  ticksPerLap_ = std::max(1, static_cast<int>(track.checkpoints.size()));
  ticksWidth_ = -1.f;
}

const std::string& RaceHud::rowName(std::size_t team) const {
  static const std::string none;
  return team < rowNames_.size() ? rowNames_[team] : none;
}

const std::string& RaceHud::plateName(std::size_t team) const {
  static const std::string none;
  return team < plateNames_.size() ? plateNames_[team] : none;
}

void RaceHud::drawPanel(sf::RenderTarget& target, const sf::FloatRect& rect) {
  if (panel_.getSize() != sf::Vector2f(rect.width, rect.height))
    panel_.setSize({rect.width, rect.height});
  panel_.setPosition(rect.left, rect.top);
  target.draw(panel_);
}

void RaceHud::drawPodIcon(sf::RenderTarget& target, std::uint32_t pod, std::uint32_t theme,
                          const sf::Vector2f& centre, float size) {
  const sf::Texture& texture = vexa::resourceManager().texture(
      PodResourceManager::themeTextureId(theme, std::min<std::uint32_t>(pod, 3)));
  if (icon_.getTexture() != &texture)
    icon_.setTexture(texture, true);
  sfmlutils::centerOrigin(icon_);
  const float scale = size / static_cast<float>(std::max(1u, texture.getSize().x));
  icon_.setScale(scale, scale);
  icon_.setPosition(centre);
  target.draw(icon_);
}

void RaceHud::drawTitle(sf::RenderTarget& target, float width) {
  const float cx = width / 2.f;
  if (timeAttack_) {
    title_.text.setPosition(cx, 17.5f);
    titleSecond_.text.setPosition(cx, 52.5f - 11.f);
    target.draw(title_.text);
    target.draw(titleSecond_.text);
  } else {
    title_.text.setPosition(cx, 25.f);
    target.draw(title_.text);
  }
}

void RaceHud::drawRaceOrder(sf::RenderTarget& target, const std::vector<RaceOrderEntry>& order,
                            const Race& race, std::uint32_t theme) {
  const float height = static_cast<float>(race.pods.size()) * cLineHeight + 10.f;
  orderHeight_ = height;
  drawPanel(target, {20.f, 20.f, orderWidth_, height});
  const float right = 20.f + orderWidth_ - 8.f;
  char buffer[16];
  for (std::size_t i = 0; i < order.size() && i < cMaxPods; ++i) {
    const RaceOrderEntry& e = order[i];
    const float y = 20.f + 5.f + cLineHeight * static_cast<float>(i) + cLineHeight / 2.f;
    std::snprintf(buffer, sizeof buffer, "%d", e.place);
    if (places_[i].set(buffer))
      sfmlutils::leftCenterOrigin(places_[i].text);
    places_[i].text.setPosition(30.f, y);
    target.draw(places_[i].text);
    drawPodIcon(target, e.podId, theme, {56.f, y}, 17.f);
    if (!e.gap.empty()) {
      if (gaps_[i].set(e.gap.c_str()))
        sfmlutils::rightCenterOrigin(gaps_[i].text);
      gaps_[i].text.setPosition(right, y);
      target.draw(gaps_[i].text);
    }
    const std::size_t team =
        e.podId < race.pods.size() ? static_cast<std::size_t>(race.pods[e.podId].team) : 0;
    if (names_[i].set(rowName(team).c_str()))
      sfmlutils::leftCenterOrigin(names_[i].text);
    names_[i].text.setPosition(cRowNameLeft, y);
    target.draw(names_[i].text);
  }
}

RaceHud::BarSpan RaceHud::progressBarSpan(const sf::Vector2f& size, float sidePanelWidth) {
  const float width = std::min(640.f, size.x - 2.f * sidePanelWidth);
  return {size.x / 2.f - width / 2.f, width, size.y - 36.f};
}

void RaceHud::drawProgressBar(sf::RenderTarget& target, const Race& race, const Track& track,
                              const sf::Vector2f& size, float sidePanelWidth,
                              std::uint32_t theme) {
  if (tickCount_ <= 0)
    return;
  const auto [left, width, y] = progressBarSpan(size, sidePanelWidth);
  const float tick = width / static_cast<float>(tickCount_);
  drawPanel(target, {left - 14.f, y - 22.f, width + 28.f, 40.f});
  bar_.setSize({width, 4.f});
  bar_.setPosition(left, y - 2.f);
  target.draw(bar_);
  // The tick marks move only with the window: built again on a resize.
  if (ticksLeft_ != left || ticksWidth_ != width) {
    ticksLeft_ = left;
    ticksWidth_ = width;
    ticks_.resize(static_cast<std::size_t>(tickCount_ + 1) * 6);
    for (int k = 0; k <= tickCount_; ++k) {
      const bool lap = k % ticksPerLap_ == 0;
      const float hw = lap ? 1.f : 0.5f;
      const float hh = lap ? 8.f : 4.5f;
      const float x = left + tick * static_cast<float>(k);
      const sf::Color colour = lap ? sf::Color(220, 230, 240) : sf::Color(140, 160, 180);
      const sf::Vector2f corners[6] = {{x - hw, y - hh}, {x + hw, y - hh}, {x + hw, y + hh},
                                       {x - hw, y - hh}, {x + hw, y + hh}, {x - hw, y + hh}};
      for (std::size_t c = 0; c < 6; ++c)
        ticks_[static_cast<std::size_t>(k) * 6 + c] = sf::Vertex(corners[c], colour);
    }
  }
  target.draw(ticks_);
  for (const PodState& p : race.pods)
    drawPodIcon(target, p.id, theme, {left + progressTicks(p, track) * tick, y}, 20.f);
}

void RaceHud::drawStatistics(sf::RenderTarget& target, const Race& race, const Track& track,
                             const RaceStatistics& statistics, std::size_t pod,
                             std::uint32_t theme) {
  if (pod >= race.pods.size() || pod >= statistics.podCount())
    return;
  const float top = 20.f + static_cast<float>(race.pods.size()) * cLineHeight + 10.f + 12.f;
  const RaceStatistics::PodStatistics& stats = statistics.pod(pod);
  const std::size_t lines = statisticsLineCount(stats);
  drawPanel(target, {20.f, top, cOrderPanelWidth, 196.f + 19.f * static_cast<float>(lines - 7)});

  // Team plate: the mask part takes the pod's colour.
  const float plateScale = (cOrderPanelWidth - 10.f) / 256.f;
  for (sf::Sprite* s : {&plate_, &plateMask_}) {
    s->setPosition(25.f, top + 5.f);
    s->setScale(plateScale, plateScale);
  }
  plateMask_.setColor(RaceColours::pod(static_cast<int>(pod)));
  target.draw(plate_);
  target.draw(plateMask_);
  const float plateY = top + 5.f + 20.f * plateScale;
  drawPodIcon(target, static_cast<std::uint32_t>(pod), theme, {45.f, plateY}, 26.f);
  if (plateName_.set(plateName(static_cast<std::size_t>(race.pods[pod].team)).c_str()))
    sfmlutils::leftCenterOrigin(plateName_.text);
  plateName_.text.setPosition(cPlateNameLeft, plateY);
  target.draw(plateName_.text);

  // One line at a time, so that the values line up on their right edge.
  const int rank = podRank(race, track, static_cast<std::uint32_t>(pod));
  const auto values = statisticsValues(rank, race.pods[pod], stats);
  char buffer[24];
  for (std::size_t line = 0; line < lines; ++line) {
    const float y = top + 62.f + 19.f * static_cast<float>(line);
    if (statLabels_[line].set(statisticsLabel(stats, line)))
      sfmlutils::leftCenterOrigin(statLabels_[line].text);
    statLabels_[line].text.setPosition(32.f, y);
    target.draw(statLabels_[line].text);
    std::snprintf(buffer, sizeof buffer, "%ld", values[line]);
    if (statValues_[line].set(buffer))
      sfmlutils::rightCenterOrigin(statValues_[line].text);
    statValues_[line].text.setPosition(20.f + cOrderPanelWidth - 14.f, y);
    target.draw(statValues_[line].text);
  }
}

void RaceHud::drawPlanners(sf::RenderTarget& target, const std::vector<PlannerRow>& rows,
                           const sf::Vector2f& size) {
  if (rows.empty())
    return;
  const std::size_t count = std::min(rows.size(), plannerLines_.size() - 1);
  const float height = cLineHeight * static_cast<float>(count + 1) + 10.f;
  const float top = size.y - 20.f - height;
  drawPanel(target, {20.f, top, cOrderPanelWidth + 30.f, height});
  if (plannerLines_[0].set("Planners' evolution steps per turn"))
    sfmlutils::leftCenterOrigin(plannerLines_[0].text);
  char buffer[96];
  for (std::size_t i = 0; i <= count; ++i) {
    TextLine& line = plannerLines_[i];
    if (i > 0) {
      // Late: turns played on a plan made for an earlier turn.
      const PlannerRow& row = rows[i - 1];
      if (row.pod >= 0)
        std::snprintf(buffer, sizeof buffer, "Team %zu pod %d: %u, avg %.0f, late %.0f %%",
                      row.team + 1, row.pod + 1, row.lastSteps, row.meanSteps, row.latePercent);
      else
        std::snprintf(buffer, sizeof buffer, "Team %zu: %u, avg %.0f, late %.0f %%",
                      row.team + 1, row.lastSteps, row.meanSteps, row.latePercent);
      if (line.set(buffer))
        sfmlutils::leftCenterOrigin(line.text);
      line.text.setFillColor(RaceColours::raceFlash(static_cast<int>(row.team)));
    }
    line.text.setPosition(28.f, top + 5.f + cLineHeight * (static_cast<float>(i) + 0.5f));
    target.draw(line.text);
  }
}

void RaceHud::drawWinner(sf::RenderTarget& target, const WinnerBoard& board,
                         const sf::FloatRect& rect) {
  drawPanel(target, rect);
  const float cx = rect.left + rect.width / 2.f;
  const float cy = rect.top + rect.height / 2.f;
  if (winnerTitle_.set(board.title().c_str()))
    sfmlutils::centerOrigin(winnerTitle_.text);
  winnerTitle_.text.setPosition(cx, cy - 40.f);
  target.draw(winnerTitle_.text);
  if (winnerTeam_.set(board.teamName().c_str()))
    sfmlutils::centerOrigin(winnerTeam_.text);
  winnerTeam_.text.setFillColor(board.winner() >= 0 && !timeAttack_
                                    ? RaceColours::raceFlash(board.winner())
                                    : sf::Color::White);
  winnerTeam_.text.setPosition(cx, cy + 5.f);
  target.draw(winnerTeam_.text);
  if (!board.reason().empty()) {
    if (winnerReason_.set(board.reason().c_str()))
      sfmlutils::centerOrigin(winnerReason_.text);
    winnerReason_.text.setPosition(cx, cy + 32.f);
    target.draw(winnerReason_.text);
  }
}

void RaceHud::drawWinnerDetails(sf::RenderTarget& target, const WinnerBoard& board,
                                const sf::FloatRect& rect) {
  if (board.details().empty())
    return;
  winnerDetails_.set(board.details());
  const sf::FloatRect bounds = winnerDetails_.text.getLocalBounds();
  const float width = std::max(rect.width, bounds.width + 24.f);
  const sf::FloatRect panel(rect.left + rect.width / 2.f - width / 2.f, rect.top + rect.height + 8.f,
                            width, bounds.top + bounds.height + 16.f);
  drawPanel(target, panel);
  winnerDetails_.text.setPosition(panel.left + 12.f, panel.top + 6.f);
  target.draw(winnerDetails_.text);
}

} // namespace pod
