#pragma once

#include <string>

namespace sf {
class Event;
}

namespace vexa {

class AbstractTextBox;
class KeyMap;

// Turns window events into logical button presses and feeds typed text to the
// one text box that has text input.
class InputProcessor {
public:
  virtual AbstractTextBox* textInputTarget() const;
  virtual void press(const std::string& id);
  virtual void release(const std::string& id);
  virtual bool init();
  virtual bool hasTextInputTarget() const;
  // Mouse buttons and text editing; true when the event was consumed.
  virtual bool handleEvent(const sf::Event& event);
  // The previous target, if any, commits its text first.
  virtual void setTextInputTarget(AbstractTextBox* box);
  virtual void clearTextInputTarget(AbstractTextBox* box);
  virtual ~InputProcessor() = default;

protected:
  // Keys and wheel through a key map: a bound key presses or releases its
  // button, a wheel notch presses and releases its button at once. False for
  // anything the map does not cover, which then belongs to handleEvent.
  // A game processor overrides handleEvent as
  //   return handleMappedEvent(event, keys_) || InputProcessor::handleEvent(event);
  bool handleMappedEvent(const sf::Event& event, const KeyMap& keys);

private:
  AbstractTextBox* target_ = nullptr;
};

} // namespace vexa
