#include "screens/replaylist.h"

#include "app/coloredpushbutton.h"
#include "app/guifactory.h"
#include "app/podstatemanager.h"
#include "trace/tracefiles.h"
#include "trace/tracereader.h"

// The menu's look needs the component accessors first.
#include <vexa/core/components.h>
#include "screens/menustyle.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <sfmlutils/origin.h>
#include <sfmlutils/textutils.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <utility>

namespace pod {

namespace {

constexpr float cItemWidth = 420.f;
constexpr float cItemHeight = 34.f;
constexpr float cItemStep = 38.f;
constexpr float cListEdge = 20.f;
constexpr float cStatusWidth = 400.f;
constexpr std::size_t cMaxLineLength = 64;

std::string clipped(std::string text) {
  if (text.size() > cMaxLineLength)
    text = text.substr(0, cMaxLineLength - 3) + "...";
  return text;
}

// "Track: Team A v Team B" over "812 turns (3:23), 2026-12-07 10:45".
std::string itemLabel(const std::string& path, const std::string& file) {
  TraceSummary summary;
  std::string error;
  if (!readTraceSummary(path, summary, error))
    return clipped(file) + "\n" + clipped(error);
  std::string teams;
  for (const std::string& team : summary.teams)
    teams += (teams.empty() ? "" : summary.timeAttack ? ", " : " v ") + team;
  const long seconds = std::lround(static_cast<double>(summary.turns) * summary.turnTime);
  char length[64];
  std::snprintf(length, sizeof length, "%zu turns (%ld:%02ld)", summary.turns, seconds / 60,
                seconds % 60);
  std::string date;
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(path, ec);
  if (!ec) {
    const auto now = std::chrono::system_clock::now() +
                     std::chrono::duration_cast<std::chrono::system_clock::duration>(
                         written - std::filesystem::file_time_type::clock::now());
    const std::time_t time = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    char stamp[32];
    if (localtime_r(&time, &local) && std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M", &local))
      date = std::string(", ") + stamp;
  }
  return clipped(summary.track + ": " + teams) + "\n" + length + date;
}

} // namespace

void ReplayList::build(const GuiFactory& factory) {
  factory_ = &factory;
  vexa::SceneNode& parent = graph_.root();
  parent.clearChildren();
  button_ = factory.createToggleButton(&parent);
  GuiFactory::resize(*button_, 200.f, 20.f);
  button_->setString("Replays");
  button_->setCallback([this] { toggleDue_ = true; });
  list_ = parent.createChild();
  list_->setVisible(false);
  items_.clear();

  menustyle::setUpText(statusText_, 14);
  statusText_.setOutlineColor(sf::Color::Black);
  statusText_.setOutlineThickness(1.f);
  // Nearly opaque: the list lies over the description panels.
  panel_.setFillColor(sf::Color(70, 70, 70, 240));
  panel_.setOutlineColor(menustyle::kPanelOutline);
  panel_.setOutlineThickness(1.f);
  statusBack_.setFillColor(sf::Color(40, 40, 40, 220));
}

void ReplayList::setPosition(float x, float y, float windowWidth, float listBottom) {
  x_ = x;
  y_ = y;
  windowWidth_ = windowWidth;
  listBottom_ = listBottom;
  if (button_)
    button_->setPosition(x, y);
  placeItems();
  setStatus(status_);
}

bool ReplayList::isOpen() const {
  return list_ && list_->isVisible();
}

void ReplayList::update(const qutils::Vec2& mouse, bool pressed, bool released) {
  graph_.updateHover(mouse);
  if (pressed)
    graph_.touchDown(mouse);
  if (released)
    graph_.touchUp(mouse);
  if (toggleDue_) {
    toggleDue_ = false;
    toggle();
  }
  if (!openDue_.empty()) {
    const std::string path = std::move(openDue_);
    openDue_.clear();
    open(path);
  }
}

void ReplayList::toggle() {
  if (!list_)
    return;
  if (isOpen()) {
    list_->setVisible(false);
    button_->setToggled(false);
  } else {
    rebuild();
    list_->setVisible(true);
    button_->setToggled(true);
  }
  setStatus(status_);
}

void ReplayList::rebuild() {
  list_->clearChildren();
  items_.clear();
  files_ = listTraceFiles(replayFolder());
  // As many as fit above the button on this window, newest first.
  const float room = listFirstY() - cListEdge - cItemHeight / 2.f;
  const std::size_t fits = room < 0.f ? 1 : static_cast<std::size_t>(room / cItemStep) + 1;
  const std::size_t shown = std::min({files_.size(), cMaxShown, fits});
  for (std::size_t i = 0; i < shown; ++i) {
    ColoredPushButton* item = factory_->createButton(list_);
    GuiFactory::resize(*item, cItemWidth, cItemHeight);
    const std::string path = replayFolder() + "/" + files_[i];
    item->setString(itemLabel(path, files_[i]));
    item->text().setCharacterSize(menustyle::fittingSize(*item));
    item->updateLayout();
    item->setCallback([this, path] { openDue_ = path; });
    items_.push_back(item);
  }
  placeItems();
  if (files_.empty())
    setStatus(std::string("No replay in ") + replayFolder() +
              "/ yet: save one from a race's side panel, or copy arena traces there");
  else if (files_.size() > shown)
    setStatus("The " + std::to_string(shown) + " newest of " + std::to_string(files_.size()) +
              " replays");
  else
    setStatus("");
}

float ReplayList::listFirstY() const {
  return std::min(y_ - 20.f - cItemHeight / 2.f, listBottom_ - cItemHeight / 2.f - 10.f);
}

float ReplayList::listX() const {
  return std::min(x_, windowWidth_ - cListEdge - 10.f - cItemWidth / 2.f);
}

void ReplayList::placeItems() {
  const float first = listFirstY();
  const float x = listX();
  for (std::size_t i = 0; i < items_.size(); ++i)
    items_[i]->setPosition(x, first - cItemStep * static_cast<float>(i));
  const float height = cItemStep * static_cast<float>(items_.size()) + 6.f;
  panel_.setSize({cItemWidth + 20.f, height});
  panel_.setPosition(x - cItemWidth / 2.f - 10.f,
                     first + cItemHeight / 2.f + 5.f - height);
}

bool ReplayList::open(const std::string& path) {
  Trace trace;
  std::string error;
  if (!readTraceFile(path, trace, error)) {
    setStatus(path + ": " + error);
    std::cerr << "Cannot replay " << path << ": " << error << std::endl;
    return false;
  }
  auto* states = dynamic_cast<PodStateManager*>(vexa::components().stateManager());
  const std::size_t turns = trace.turnCount();
  const bool truncated = trace.truncated;
  if (!states || !states->goToReplay(std::move(trace))) {
    setStatus(path + ": the race screen cannot show it");
    return false;
  }
  list_->setVisible(false);
  button_->setToggled(false);
  setStatus(truncated ? path + " is cut short: it plays to turn " + std::to_string(turns) : "");
  return true;
}

sf::FloatRect ReplayList::statusBounds() const {
  return status_.empty() ? sf::FloatRect() : statusText_.getGlobalBounds();
}

sf::FloatRect ReplayList::listBounds() const {
  return isOpen() && !items_.empty() ? panel_.getGlobalBounds() : sf::FloatRect();
}

// Above the open list, or above the button: a few wrapped lines on their own
// dark strip, as the list lies over the menu's panels.
void ReplayList::setStatus(const std::string& text) {
  status_ = text;
  if (!sfmlutils::wrapText(statusText_, sf::String(text), cStatusWidth, true))
    statusText_.setString(text);
  const sf::FloatRect local = statusText_.getLocalBounds();
  statusText_.setOrigin(local.left + local.width, local.top + local.height);
  const float bottom = (isOpen() && !items_.empty() ? panel_.getPosition().y : y_ - 10.f) - 8.f;
  statusText_.setPosition(windowWidth_ - cListEdge - 6.f, bottom);
  const sf::FloatRect shown = statusText_.getGlobalBounds();
  statusBack_.setSize({shown.width + 12.f, shown.height + 10.f});
  statusBack_.setPosition(shown.left - 6.f, shown.top - 5.f);
}

void ReplayList::draw(sf::RenderTarget& target) {
  if (isOpen() && !items_.empty())
    target.draw(panel_);
  if (!status_.empty()) {
    target.draw(statusBack_);
    target.draw(statusText_);
  }
  target.draw(graph_);
}

} // namespace pod
