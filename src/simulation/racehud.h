#pragma once

#include "race/race.h"
#include "race/track.h"
#include "simulation/racepanels.h"
#include "simulation/racestatistics.h"
#include "simulation/textline.h"
#include "simulation/winnerboard.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sf {
class Font;
class RenderTarget;
} // namespace sf

namespace pod {

// The race's heads-up panels: title, race order, progress bar, statistics
// plate and winner texts. Every text and shape is built once and its string
// set again only when it changes, so a drawn frame allocates nothing.
class RaceHud {
public:
  static constexpr std::size_t cMaxPods = 8;
  static constexpr float cOrderPanelWidth = 250.f;
  static constexpr float cLineHeight = 20.f;

  // Where the progress bar lies on a window: its left end, length and height.
  struct BarSpan {
    float left;
    float width;
    float y;
  };
  static BarSpan progressBarSpan(const sf::Vector2f& size, float sidePanelWidth);

  void setFont(const sf::Font& font);
  // A new race: its title, the short team names, the progress bar's ticks.
  void prepare(bool timeAttack, const std::vector<std::string>& teamNames, const Track& track);

  void drawTitle(sf::RenderTarget& target, float width);
  void drawRaceOrder(sf::RenderTarget& target, const std::vector<RaceOrderEntry>& order,
                     const Race& race, std::uint32_t theme);
  void drawProgressBar(sf::RenderTarget& target, const Race& race, const Track& track,
                       const sf::Vector2f& size, float sidePanelWidth, std::uint32_t theme);
  void drawStatistics(sf::RenderTarget& target, const Race& race, const Track& track,
                      const RaceStatistics& statistics, std::size_t pod, std::uint32_t theme);
  void drawWinner(sf::RenderTarget& target, const WinnerBoard& board,
                  const sf::FloatRect& rect);
  void drawPanel(sf::RenderTarget& target, const sf::FloatRect& rect);

  // The debug mode's list of every planner of the race and its thinking.
  struct PlannerRow {
    std::size_t team = 0;
    int pod = -1; // the team's pod it plans, -1 for both
    std::uint32_t lastSteps = 0;
    double meanSteps = 0.0;
    double latePercent = 0.0;
  };
  void drawPlanners(sf::RenderTarget& target, const std::vector<PlannerRow>& rows,
                    const sf::Vector2f& size);
  // The board's details in a panel of their own just below `rect`.
  void drawWinnerDetails(sf::RenderTarget& target, const WinnerBoard& board,
                         const sf::FloatRect& rect);

  // The form of a team's name in the race order rows and on the plate: the
  // whole name when it fits, else cut with a final ".".
  const std::string& rowName(std::size_t team) const;
  const std::string& plateName(std::size_t team) const;
  float orderPanelWidth() const { return orderWidth_; }
  float orderPanelHeight() const { return orderHeight_; }
  // As last drawn.
  const sf::Text& plateNameText() const { return plateName_.text; }
  const sf::Sprite& plateMask() const { return plateMask_; }

private:
  void drawPodIcon(sf::RenderTarget& target, std::uint32_t pod, std::uint32_t theme,
                   const sf::Vector2f& centre, float size);

  const sf::Font* font_ = nullptr;
  sf::RectangleShape panel_;
  TextLine title_;
  TextLine titleSecond_;
  bool timeAttack_ = false;
  float orderWidth_ = cOrderPanelWidth;
  float orderHeight_ = 0.f;
  std::vector<std::string> rowNames_;
  std::vector<std::string> plateNames_;
  std::array<TextLine, cMaxPods> places_;
  std::array<TextLine, cMaxPods> names_;
  std::array<TextLine, cMaxPods> gaps_;
  sf::Sprite icon_;
  sf::RectangleShape bar_;
  sf::VertexArray ticks_;
  float ticksLeft_ = -1.f;
  float ticksWidth_ = -1.f;
  int tickCount_ = 0;
  int ticksPerLap_ = 1;
  sf::Sprite plate_;
  sf::Sprite plateMask_;
  TextLine plateName_;
  std::array<TextLine, cMaxStatisticsLines> statLabels_;
  std::array<TextLine, cMaxStatisticsLines> statValues_;
  std::array<TextLine, cMaxPods + 1> plannerLines_;
  TextLine winnerTitle_;
  TextLine winnerTeam_;
  TextLine winnerReason_;
  TextLine winnerDetails_;
};

} // namespace pod
