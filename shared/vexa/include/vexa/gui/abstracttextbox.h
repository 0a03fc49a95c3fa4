#pragma once

#include <SFML/System/String.hpp>

#include <cstdint>
#include <functional>

namespace vexa {

class InputProcessor;

// Edit commands sent by the input processor to the text-input target.
namespace TextCommand {
enum : std::uint32_t {
  EraseBefore = 0,
  CursorHome = 1,
  EraseAt = 2,
  Cancel = 3,
  CursorEnd = 4,
  CursorLeft = 5,
  Validate = 6,
  CursorRight = 7
};
} // namespace TextCommand

// A one-line text being edited, with its cursor. Validation copies the text
// into a bound string; cancelling restores it from there.
class AbstractTextBox {
public:
  using Callback = std::function<void()>;
  // Whether a typed character may enter the text. A refused one leaves the
  // text as it was; the filter is where the refusal gets reported.
  using CharacterFilter = std::function<bool(sf::Uint32)>;

  explicit AbstractTextBox(InputProcessor* inputProcessor);

  virtual sf::String string() const;
  virtual sf::String* boundString() const;
  virtual void cancel();
  virtual void commit();
  // Another box took the text input: keep what was typed.
  virtual void loseTextInput();
  virtual void insertCharacter(sf::Uint32 c);
  virtual void applyCommand(std::uint32_t code);
  virtual void bindString(sf::String* string);
  virtual void setCallback(Callback callback);
  virtual void setString(const sf::String& string);
  virtual void setInputProcessor(InputProcessor* inputProcessor);
  virtual void startEditing();
  virtual void stopEditing();
  virtual void cursorMoved();
  virtual void textChanged();
  virtual void validated();
  virtual void updateCursor() = 0;
  // Gives up the text input if it still has it.
  virtual ~AbstractTextBox();

  void setCharacterFilter(CharacterFilter filter) { filter_ = std::move(filter); }

  std::uint32_t cursor() const { return cursor_; }
  bool isEditing() const { return editing_; }
  InputProcessor* inputProcessor() const { return inputProcessor_; }

private:
  Callback callback_;
  CharacterFilter filter_;
  std::uint32_t cursor_ = 0;
  sf::String text_;
  bool editing_ = false;
  InputProcessor* inputProcessor_ = nullptr;
  sf::String* str_ = nullptr;
};

} // namespace vexa
