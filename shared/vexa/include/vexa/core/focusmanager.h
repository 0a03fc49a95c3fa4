#pragma once

namespace vexa {

class SceneNode;

// Holds the one node with the keyboard focus and tells nodes when they gain
// or lose it.
class FocusManager {
public:
  virtual void clearFocus();
  virtual SceneNode* focused() const;
  // Re-requesting the focused node runs its lost then its gained hook.
  virtual bool requestFocus(SceneNode* node);
  virtual bool releaseFocus(SceneNode* node);
  virtual ~FocusManager() = default;

  // Drops a node that is being destroyed, without hooks: the node is no
  // longer in a state to answer them.
  void forget(const SceneNode* node);

private:
  SceneNode* focused_ = nullptr;
};

} // namespace vexa
