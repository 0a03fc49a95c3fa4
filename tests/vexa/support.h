#pragma once

#include "assertrecorder.h"

#include <gtest/gtest.h>
#include <vexa/core/components.h>
#include <vexa/core/focusmanager.h>
#include <vexa/core/graphics.h>
#include <vexa/core/inputmanager.h>
#include <vexa/core/inputprocessor.h>
#include <vexa/core/keymap.h>
#include <vexa/core/pathmanager.h>
#include <vexa/core/resourcemanager.h>
#include <vexa/core/statemanager.h>
#include <vexa/gui/abstracttextbox.h>
#include <vexa/gui/guifactory.h>
#include <vexa/gui/scenegraph.h>

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Window/Event.hpp>

#include <memory>
#include <string>
#include <vector>

// The game's translation: the key map first, the engine's for the rest.
class MappedProcessor : public vexa::InputProcessor {
public:
  bool handleEvent(const sf::Event& event) override {
    return handleMappedEvent(event, keys_) ||
           vexa::InputProcessor::handleEvent(event);
  }

private:
  vexa::KeyMap keys_ = vexa::standardKeyMap();
};

// Registers a focus manager, an input manager with the standard buttons and
// an input processor for the duration of a test.
class WithComponents : public ::testing::Test {
protected:
  void SetUp() override { install(std::make_unique<vexa::InputProcessor>()); }
  void TearDown() override { vexa::components().clear(); }

  void install(std::unique_ptr<vexa::InputProcessor> processor) {
    auto input = std::make_unique<vexa::InputManager>();
    input->init();
    for (const std::string& name : vexa::standardButtons())
      input->addButton(name);
    vexa::components().set(nullptr, std::make_unique<vexa::FocusManager>(),
                           nullptr, nullptr, std::move(input),
                           std::move(processor), nullptr, nullptr, nullptr);
  }

  bool send(const sf::Event& event) { return processor().handleEvent(event); }
  vexa::InputManager& input() { return *vexa::components().inputManager(); }
  vexa::InputProcessor& processor() { return *vexa::components().inputProcessor(); }
  vexa::FocusManager& focus() { return *vexa::components().focusManager(); }
};

// A node with a rectangular hit area in window pixels, its top-left corner
// at its world position, that logs its hooks.
class LoggingNode : public vexa::SceneNode {
public:
  LoggingNode(vexa::SceneNode* parent, std::vector<std::string>& log,
              std::string name, sf::Vector2f size = {0.f, 0.f})
      : SceneNode(parent), log_(log), name_(std::move(name)), size_(size) {}

  bool hitTest(const qutils::Vec2& p, bool& inside) const override {
    if (size_.x <= 0.f)
      return false;
    const qutils::Vec2 o = worldPosition();
    inside = p.x >= o.x && p.x < o.x + size_.x && p.y >= o.y && p.y < o.y + size_.y;
    return true;
  }
  void drawSelf(sf::RenderTarget&, sf::RenderStates) const override { add("draw"); }
  void onUpdate(float) override { add("update"); }
  void focusGained() override { add("gained"); }
  void focusLost() override { add("lost"); }
  void onHoverEnter() override { add("enter"); }
  void onHoverLeave() override { add("leave"); }
  void onTouchDown(const qutils::Vec2&) override { add("down"); }
  void onTouchCancel() override { add("cancel"); }
  void onTouchUp(const qutils::Vec2&) override { add("up"); }
  void onHidden() override { add("hidden"); }
  void onShown() override { add("shown"); }
  void onDisabled() override { add("disabled"); }
  void onEnabled() override { add("enabled"); }

private:
  void add(const std::string& what) const { log_.push_back(name_ + "." + what); }

  std::vector<std::string>& log_;
  std::string name_;
  sf::Vector2f size_;
};

// A press and release at p, after the hover pass of the step.
inline void click(vexa::SceneGraph& graph, const qutils::Vec2& p) {
  graph.updateHover(p);
  graph.touchDown(p);
  graph.touchUp(p);
}

// Components that a loop test does not use.
class NoResources : public vexa::ResourceManager {
public:
  bool loadResources() override { return true; }
};

class NoWidgets : public vexa::GuiFactory {
public:
  using Button = vexa::ShapeShifterPushButtonNode;
  Button* createWideButton(vexa::SceneNode*) const override { return nullptr; }
  Button* createButton(vexa::SceneNode*) const override { return nullptr; }
  Button* createBigButton(vexa::SceneNode*) const override { return nullptr; }
  Button* createToggleButton(vexa::SceneNode*) const override { return nullptr; }
  vexa::ShapeShifterLabel* createLabel(vexa::SceneNode*) const override { return nullptr; }
  vexa::ShapeShifterTextBoxNode* createTextBox(vexa::SceneNode*) const override {
    return nullptr;
  }
};

// A render target that only keeps views and hands drawables their call.
class NullTarget : public sf::RenderTarget {
public:
  NullTarget() { initialize(); }
  sf::Vector2u getSize() const override { return {1280, 850}; }
};

inline sf::Event keyEvent(sf::Keyboard::Key key,
                          sf::Event::EventType type = sf::Event::KeyPressed) {
  sf::Event e;
  e.type = type;
  e.key = sf::Event::KeyEvent{key, false, false, false, false};
  return e;
}

inline sf::Event textEvent(sf::Uint32 unicode) {
  sf::Event e;
  e.type = sf::Event::TextEntered;
  e.text.unicode = unicode;
  return e;
}

inline sf::Event mouseEvent(sf::Mouse::Button button,
                            sf::Event::EventType type = sf::Event::MouseButtonPressed) {
  sf::Event e;
  e.type = type;
  e.mouseButton = sf::Event::MouseButtonEvent{button, 0, 0};
  return e;
}

inline sf::Event wheelEvent(float delta) {
  sf::Event e;
  e.type = sf::Event::MouseWheelScrolled;
  e.mouseWheelScroll = sf::Event::MouseWheelScrollEvent{sf::Mouse::VerticalWheel, delta, 0, 0};
  return e;
}
