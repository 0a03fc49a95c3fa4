#include "vexa/gui/radiobuttongroup.h"

#include "vexa/gui/nodes/radiobuttonnode.h"

#include <qutils/assert.h>

#include <algorithm>

// The index checks compare a signed index with the list size once it is
// known not to be negative.
#pragma GCC diagnostic ignored "-Wsign-compare"

namespace vexa {

bool RadioButtonGroup::addButton(RadioButtonNode* button) {
  Q_ASSERT(button && (&button->getGroup() == this));
  if (!button || &button->getGroup() != this || contains(button))
    return false;
  buttons_.push_back(button);
  if (selected_ == -1)
    selected_ = 0;
  return true;
}

void RadioButtonGroup::clear() {
  buttons_.clear();
  selected_ = -1;
}

bool RadioButtonGroup::contains(const RadioButtonNode* button) const {
  Q_ASSERT(button);
  return std::find(buttons_.begin(), buttons_.end(), button) != buttons_.end();
}

RadioButtonNode* RadioButtonGroup::selected() const {
  if (selected_ < 0)
    return nullptr;
  Q_ASSERT(selected_ < buttons_.size());
  return selected_ < buttons_.size() ? buttons_[selected_] : nullptr;
}

void RadioButtonGroup::deselect() {
  if (RadioButtonNode* button = selected()) {
    button->onDeselected();
    selected_ = -1;
  }
}

std::int32_t RadioButtonGroup::indexOf(const RadioButtonNode* button) const {
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i] == button)
      return static_cast<std::int32_t>(i);
  }
  Q_ASSERT(false);
  return -1;
}

void RadioButtonGroup::select(std::int32_t newSelected) {
  Q_ASSERT(newSelected >= 0 && newSelected < buttons_.size());
  if (!(newSelected >= 0 && newSelected < buttons_.size()))
    return;
  if (newSelected == selected_)
    return;
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(buttons_.size()); ++i) {
    if (i == selected_)
      buttons_[i]->onDeselected();
    else if (i == newSelected)
      buttons_[i]->onSelected();
  }
  selected_ = newSelected;
}

void RadioButtonGroup::select(RadioButtonNode* selected) {
  Q_ASSERT(selected);
  if (!selected)
    return;
  select(indexOf(selected));
}

} // namespace vexa
