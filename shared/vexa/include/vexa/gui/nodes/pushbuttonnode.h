#pragma once

#include "vexa/gui/nodes/scenenode.h"

#include <functional>

namespace vexa {

// A node that runs a callback when clicked: pressed and released with the
// pointer never leaving it. A click also takes the focus.
class PushButtonNode : public SceneNode {
public:
  using Callback = std::function<void()>;

  explicit PushButtonNode(SceneNode* parent = nullptr);

  void onTouchCancel() override;
  void onTouchUp(const qutils::Vec2& point) override;

  void setCallback(Callback callback) { callback_ = std::move(callback); }

private:
  Callback callback_;
};

} // namespace vexa
