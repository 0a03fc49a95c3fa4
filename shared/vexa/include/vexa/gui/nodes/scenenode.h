#pragma once

#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Transformable.hpp>
#include <SFML/System/NonCopyable.hpp>
#include <qutils/vec2.h>

#include <memory>
#include <vector>

namespace vexa {

class SceneGraph;

// While one of these lives, nodes taken out of a tree stay alive and are
// destroyed when the outermost one ends. Every entry point that may run a
// callback holds one, so that a callback may delete or rebuild any widget,
// its own included, without freeing a node that is still on the call stack.
class DeferredDeletion : private sf::NonCopyable {
public:
  DeferredDeletion();
  ~DeferredDeletion();

  static bool active();
};

// A node of a GUI tree: positioned relative to its parent, owns its children,
// draws itself under them, tracks mouse hover and touch through hitTest and
// can hold the keyboard focus. Widgets override the hooks.
class SceneNode : public sf::Transformable,
                  public virtual sf::Drawable,
                  private sf::NonCopyable {
public:
  using Ptr = std::unique_ptr<SceneNode>;

  // The parent is recorded for transforms; attachChild makes it the owner.
  explicit SceneNode(SceneNode* parent = nullptr);

  ~SceneNode() override;
  virtual sf::FloatRect globalBounds() const;
  virtual SceneNode* createChild();
  virtual SceneNode* attachChild(Ptr child);
  virtual SceneNode* child(std::size_t index) const;
  virtual std::vector<SceneNode*> children() const;
  // Children go at once, or at the end of the current dispatch if one runs.
  virtual void clearChildren();
  virtual Ptr detachChild(const SceneNode& node);
  virtual void drawChildren(sf::RenderTarget& target, sf::RenderStates states) const;
  virtual void drawSelf(sf::RenderTarget& target, sf::RenderStates states) const;
  virtual void releaseFocus();
  virtual bool isEnabled() const;
  virtual bool takeFocus();
  virtual bool hasFocus() const;
  virtual void hide();
  // True when the node takes part in pointer tracking; inside then tells
  // whether point (window pixels) lies on it.
  virtual bool hitTest(const qutils::Vec2& point, bool& inside) const;
  virtual void onFocusGained();
  virtual void onFocusLost();
  virtual void update(float dt);
  virtual void updateChildren(float dt);
  virtual void onUpdate(float dt);
  virtual qutils::Vec2 worldPosition() const;
  virtual sf::Transform worldTransform() const;
  virtual void onDisabled();
  virtual void onEnabled();
  virtual void focusGained();
  virtual void focusLost();
  virtual void onHidden();
  virtual void onHoverEnter();
  virtual void onHoverLeave();
  virtual void onShown();
  virtual void onTouchDown(const qutils::Vec2& point);
  virtual void onTouchCancel();
  virtual void onTouchUp(const qutils::Vec2& point);

  bool isVisible() const { return visible_; }
  void show();
  // Unlike hide(), runs no onHidden hook.
  void setVisible(bool visible);
  void setEnabled(bool enabled);

  SceneNode* parent() const { return parent_; }
  SceneGraph* sceneGraph() const { return sceneGraph_; }
  void setSceneGraph(SceneGraph* graph) { sceneGraph_ = graph; }
  bool isHovered() const { return hover_; }
  bool isTouched() const { return touch_; }

  // Constructs a T with this node as parent (followed by args) and attaches it.
  template <typename T, typename... Args>
  T* makeChild(Args&&... args) {
    auto node = std::make_unique<T>(this, std::forward<Args>(args)...);
    T* raw = node.get();
    attachChild(std::move(node));
    return raw;
  }

  // Pointer passes over the subtree, children first. See SceneGraph.
  void updateHover(const qutils::Vec2& point);
  bool touchDown(const qutils::Vec2& point);
  bool touchUp(const qutils::Vec2& point);

protected:
  // Invisible nodes draw nothing, children included; children draw over
  // their parent, later ones over earlier ones.
  void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

private:
  bool isHit(const qutils::Vec2& point) const;
  static void dispose(std::vector<Ptr> nodes);
  // Cancels the press and clears the hover of this node and its subtree.
  void endPointer();

  std::vector<Ptr> children_;
  SceneNode* parent_ = nullptr;
  SceneGraph* sceneGraph_ = nullptr;
  bool visible_ = true;
  bool enabled_ = true;
  bool hover_ = false;
  bool touch_ = false;
};

} // namespace vexa
