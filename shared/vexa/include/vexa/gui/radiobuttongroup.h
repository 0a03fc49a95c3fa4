#pragma once

#include <cstdint>
#include <vector>

namespace vexa {

class RadioButtonNode;

// At most one selected button among several. The group does not own them.
class RadioButtonGroup {
public:
  // The first button added is selected without any hook running.
  bool addButton(RadioButtonNode* button);
  void clear();
  bool contains(const RadioButtonNode* button) const;
  // Null with no selection.
  RadioButtonNode* selected() const;
  void deselect();
  std::int32_t indexOf(const RadioButtonNode* button) const;
  // The hooks run in list order: deselected and selected, whichever button
  // comes first; the new index is stored afterwards.
  void select(std::int32_t newSelected);
  void select(RadioButtonNode* selected);

  std::int32_t selectedIndex() const { return selected_; }
  std::size_t size() const { return buttons_.size(); }

private:
  std::vector<RadioButtonNode*> buttons_;
  std::int32_t selected_ = -1;
};

} // namespace vexa
