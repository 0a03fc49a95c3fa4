#pragma once

#include "vexa/gui/nodes/scenenode.h"

namespace vexa {

// The GUI tree of one screen. Each update step a screen runs, with the mouse
// in window pixels: updateHover, then touchDown if "touch" was pressed, then
// touchUp if it was released. The hover pass must come first: it marks the
// nodes that the press pass may take.
class SceneGraph : public virtual sf::Drawable {
public:
  SceneGraph();

  virtual void updateHover(const qutils::Vec2& point);
  virtual bool touchDown(const qutils::Vec2& point);
  virtual bool touchUp(const qutils::Vec2& point);
  virtual void update(float dt);
  virtual void clear();
  ~SceneGraph() override;

  SceneNode& root() { return *root_; }
  const SceneNode& root() const { return *root_; }

protected:
  void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

private:
  std::unique_ptr<SceneNode> root_;
};

} // namespace vexa
