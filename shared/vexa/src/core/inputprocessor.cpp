#include "vexa/core/inputprocessor.h"

#include "vexa/core/components.h"
#include "vexa/core/inputmanager.h"
#include "vexa/core/keymap.h"
#include "vexa/gui/abstracttextbox.h"
#include "vexa/gui/nodes/scenenode.h"

#include <SFML/Window/Event.hpp>

namespace vexa {

AbstractTextBox* InputProcessor::textInputTarget() const { return target_; }

void InputProcessor::press(const std::string& id) { inputManager().press(id); }

void InputProcessor::release(const std::string& id) {
  inputManager().release(id);
}

bool InputProcessor::init() { return true; }

bool InputProcessor::hasTextInputTarget() const { return target_ != nullptr; }

bool InputProcessor::handleEvent(const sf::Event& event) {
  // A validated text box may rebuild the GUI, itself included.
  DeferredDeletion guard;
  if (event.type == sf::Event::MouseButtonPressed ||
      event.type == sf::Event::MouseButtonReleased) {
    const char* id = nullptr;
    if (event.mouseButton.button == sf::Mouse::Left)
      id = "touch";
    else if (event.mouseButton.button == sf::Mouse::Right)
      id = "alttouch";
    if (!id)
      return false;
    if (event.type == sf::Event::MouseButtonPressed)
      press(id);
    else
      release(id);
    return true;
  }

  if (!target_)
    return false;

  if (event.type == sf::Event::TextEntered) {
    // Every character reaches the box, which decides what it takes.
    const sf::Uint32 c = event.text.unicode;
    switch (c) {
    case 8:
      target_->applyCommand(TextCommand::EraseBefore);
      break;
    case 13:
      target_->applyCommand(TextCommand::Validate);
      break;
    case 27:
      target_->applyCommand(TextCommand::Cancel);
      break;
    default:
      target_->insertCharacter(c);
      break;
    }
    return true;
  }

  if (event.type == sf::Event::KeyPressed) {
    // Never consumed: the main loop still sees the key.
    switch (event.key.code) {
    case sf::Keyboard::End:
      target_->applyCommand(TextCommand::CursorEnd);
      break;
    case sf::Keyboard::Home:
      target_->applyCommand(TextCommand::CursorHome);
      break;
    case sf::Keyboard::Delete:
      target_->applyCommand(TextCommand::EraseAt);
      break;
    case sf::Keyboard::Left:
      target_->applyCommand(TextCommand::CursorLeft);
      break;
    case sf::Keyboard::Right:
      target_->applyCommand(TextCommand::CursorRight);
      break;
    default:
      break;
    }
  }
  return false;
}

void InputProcessor::setTextInputTarget(AbstractTextBox* box) {
  DeferredDeletion guard;
  if (target_)
    target_->loseTextInput();
  target_ = box;
}

void InputProcessor::clearTextInputTarget(AbstractTextBox* box) {
  if (box == target_)
    target_ = nullptr;
}

bool InputProcessor::handleMappedEvent(const sf::Event& event,
                                       const KeyMap& keys) {
  switch (event.type) {
  case sf::Event::KeyPressed:
    // Tab typed into a text box is not the debug switch.
    if (target_ && event.key.code == sf::Keyboard::Tab)
      return false;
    if (const std::string* id = keys.button(event.key.code)) {
      press(*id);
      return true;
    }
    return false;
  case sf::Event::KeyReleased:
    if (const std::string* id = keys.button(event.key.code)) {
      release(*id);
      return true;
    }
    return false;
  case sf::Event::LostFocus:
    // Keys let go while another window has the keyboard never come back
    // released here.
    if (components().inputManager())
      inputManager().releaseAll();
    return false;
  case sf::Event::MouseWheelScrolled: {
    const float delta = event.mouseWheelScroll.delta;
    const std::string& id = delta > 0.f   ? keys.wheelForward()
                            : delta < 0.f ? keys.wheelBackward()
                                          : std::string();
    if (id.empty())
      return false;
    press(id);
    release(id);
    return true;
  }
  default:
    return false;
  }
}

} // namespace vexa
