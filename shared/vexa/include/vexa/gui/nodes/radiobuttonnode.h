#pragma once

#include "vexa/gui/nodes/scenenode.h"

namespace vexa {

class RadioButtonGroup;

// One choice of a radio group: a click selects it. The group is not told
// about the button until it is added to it.
class RadioButtonNode : public SceneNode {
public:
  RadioButtonNode(SceneNode* parent, RadioButtonGroup& group);

  void onTouchCancel() override;
  void onTouchUp(const qutils::Vec2& point) override;
  virtual bool isSelected() const;
  virtual void onSelected();
  virtual void onDeselected();

  RadioButtonGroup& getGroup() const { return *group_; }

private:
  RadioButtonGroup* group_;
};

} // namespace vexa
