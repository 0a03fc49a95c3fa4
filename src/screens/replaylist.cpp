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

#include <algorithm>
#include <iostream>
#include <utility>

namespace pod {

namespace {

constexpr float cItemWidth = 240.f;
constexpr float cItemStep = 25.f;
constexpr std::size_t cMaxNameLength = 40;

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
    return;
  }
  rebuild();
  list_->setVisible(true);
  button_->setToggled(true);
}

void ReplayList::rebuild() {
  list_->clearChildren();
  items_.clear();
  files_ = listTraceFiles(cReplayFolder);
  const std::size_t shown = std::min(files_.size(), cMaxShown);
  for (std::size_t i = 0; i < shown; ++i) {
    ColoredPushButton* item = factory_->createButton(list_);
    GuiFactory::resize(*item, cItemWidth, 20.f);
    std::string label = files_[i];
    if (label.size() > cMaxNameLength)
      label = label.substr(0, cMaxNameLength - 3) + "...";
    item->setString(label);
    item->text().setCharacterSize(menustyle::fittingSize(*item));
    item->updateLayout();
    const std::string path = std::string(cReplayFolder) + "/" + files_[i];
    item->setCallback([this, path] { openDue_ = path; });
    items_.push_back(item);
  }
  placeItems();
  if (files_.empty())
    setStatus(std::string("No replay in ") + cReplayFolder +
              "/ yet: save one from a race's side panel, or copy arena traces there");
  else if (files_.size() > shown)
    setStatus("The " + std::to_string(shown) + " newest of " + std::to_string(files_.size()) +
              " replays");
  else
    setStatus("");
}

void ReplayList::placeItems() {
  const float first = std::min(y_ - 35.f, listBottom_ - 10.f);
  for (std::size_t i = 0; i < items_.size(); ++i)
    items_[i]->setPosition(x_, first - cItemStep * static_cast<float>(i));
  const float height = cItemStep * static_cast<float>(items_.size()) + 10.f;
  panel_.setSize({cItemWidth + 20.f, height});
  panel_.setPosition(x_ - cItemWidth / 2.f - 10.f, first + 10.f + 2.5f - height);
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
  setStatus(truncated ? path + " is cut short: it plays to turn " + std::to_string(turns) : "");
  list_->setVisible(false);
  button_->setToggled(false);
  return true;
}

void ReplayList::setStatus(const std::string& text) {
  status_ = text;
  statusText_.setString(text);
  sfmlutils::rightCenterOrigin(statusText_);
  statusText_.setPosition(windowWidth_ - 20.f, y_ + 30.f);
}

void ReplayList::draw(sf::RenderTarget& target) {
  if (isOpen() && !items_.empty())
    target.draw(panel_);
  if (!status_.empty())
    target.draw(statusText_);
  target.draw(graph_);
}

} // namespace pod
