#include "vexa/gui/abstracttextbox.h"

#include "vexa/core/components.h"
#include "vexa/core/inputprocessor.h"
#include "vexa/gui/nodes/scenenode.h"

#include <qutils/assert.h>

namespace vexa {

AbstractTextBox::AbstractTextBox(InputProcessor* inputProcessor)
    : inputProcessor_(inputProcessor) {}

AbstractTextBox::~AbstractTextBox() {
  // Only through the registry: at shutdown the processor dies before the
  // screens, and then the registry no longer knows it.
  InputProcessor* processor = components().inputProcessor();
  if (processor && processor == inputProcessor_ &&
      processor->textInputTarget() == this)
    processor->clearTextInputTarget(this);
}

sf::String AbstractTextBox::string() const { return text_; }

sf::String* AbstractTextBox::boundString() const { return str_; }

void AbstractTextBox::cancel() {
  DeferredDeletion guard;
  // No longer editing, so that the box can be edited again.
  editing_ = false;
  if (inputProcessor_)
    inputProcessor_->clearTextInputTarget(this);
  text_ = str_ ? *str_ : sf::String();
  textChanged();
}

void AbstractTextBox::commit() {
  // The validate callback may delete this box: it runs last.
  DeferredDeletion guard;
  Q_ASSERT(str_);
  if (!str_)
    return;
  *str_ = text_;
  validated();
}

void AbstractTextBox::loseTextInput() { commit(); }

void AbstractTextBox::insertCharacter(sf::Uint32 c) {
  // Control characters (Tab, Delete, Ctrl+letter...) have no place in a line.
  if (c < 32 || (c >= 127 && c < 160))
    return;
  if (filter_ && !filter_(c))
    return;
  text_.insert(cursor_, sf::String(c));
  ++cursor_;
  textChanged();
}

void AbstractTextBox::applyCommand(std::uint32_t code) {
  DeferredDeletion guard;
  const auto length = static_cast<std::uint32_t>(text_.getSize());
  switch (code) {
  case TextCommand::EraseBefore:
    if (!text_.isEmpty() && cursor_ > 0) {
      text_.erase(cursor_ - 1);
      --cursor_;
      textChanged();
    }
    break;
  case TextCommand::CursorHome:
    cursor_ = 0;
    updateCursor();
    break;
  case TextCommand::EraseAt:
    if (!text_.isEmpty() && cursor_ < length) {
      text_.erase(cursor_);
      textChanged();
    }
    break;
  case TextCommand::Cancel:
    cancel();
    break;
  case TextCommand::CursorEnd:
    cursor_ = length;
    updateCursor();
    break;
  case TextCommand::CursorLeft:
    if (cursor_ > 0) {
      --cursor_;
      cursorMoved();
    }
    break;
  case TextCommand::Validate:
    stopEditing();
    break;
  case TextCommand::CursorRight:
    if (cursor_ < length) {
      ++cursor_;
      cursorMoved();
    }
    break;
  default:
    break;
  }
}

void AbstractTextBox::bindString(sf::String* string) {
  Q_ASSERT(string);
  if (!string)
    return;
  str_ = string;
  text_ = *string;
  textChanged();
}

void AbstractTextBox::setCallback(Callback callback) {
  callback_ = std::move(callback);
}

void AbstractTextBox::setString(const sf::String& string) {
  text_ = string;
  textChanged();
}

void AbstractTextBox::setInputProcessor(InputProcessor* inputProcessor) {
  inputProcessor_ = inputProcessor;
}

void AbstractTextBox::startEditing() {
  DeferredDeletion guard;
  if (editing_)
    return;
  editing_ = true;
  Q_ASSERT(inputProcessor_);
  if (inputProcessor_)
    inputProcessor_->setTextInputTarget(this);
}

void AbstractTextBox::stopEditing() {
  DeferredDeletion guard;
  if (!editing_)
    return;
  editing_ = false;
  commit();
  if (inputProcessor_)
    inputProcessor_->clearTextInputTarget(this);
}

void AbstractTextBox::cursorMoved() { updateCursor(); }

void AbstractTextBox::textChanged() {
  const auto length = static_cast<std::uint32_t>(text_.getSize());
  if (cursor_ > length)
    cursor_ = length;
  updateCursor();
}

void AbstractTextBox::validated() {
  if (callback_)
    callback_();
}

} // namespace vexa
