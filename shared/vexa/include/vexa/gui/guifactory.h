#pragma once

namespace vexa {

class SceneNode;
class ShapeShifterLabel;
class ShapeShifterPushButtonNode;
class ShapeShifterTextBoxNode;

// Creates every widget in the program's house style. Each creator attaches
// the widget to parent and returns it; the caller sets string and callback.
// A program derives its own factory (covariant returns are welcome) and
// registers it as the guiFactory component.
class GuiFactory {
public:
  virtual ~GuiFactory() = default;
  virtual ShapeShifterPushButtonNode* createWideButton(SceneNode* parent) const = 0;
  virtual ShapeShifterPushButtonNode* createButton(SceneNode* parent) const = 0;
  virtual ShapeShifterPushButtonNode* createBigButton(SceneNode* parent) const = 0;
  virtual ShapeShifterPushButtonNode* createToggleButton(SceneNode* parent) const = 0;
  virtual ShapeShifterLabel* createLabel(SceneNode* parent) const = 0;
  virtual ShapeShifterTextBoxNode* createTextBox(SceneNode* parent) const = 0;
};

} // namespace vexa
