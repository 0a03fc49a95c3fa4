#include "vexa/gui/scenegraph.h"

#include <SFML/Graphics/RenderTarget.hpp>

namespace vexa {

SceneGraph::SceneGraph() : root_(std::make_unique<SceneNode>()) {
  root_->setSceneGraph(this);
}

SceneGraph::~SceneGraph() = default;

void SceneGraph::updateHover(const qutils::Vec2& point) {
  root_->updateHover(point);
}

bool SceneGraph::touchDown(const qutils::Vec2& point) {
  return root_->touchDown(point);
}

bool SceneGraph::touchUp(const qutils::Vec2& point) {
  return root_->touchUp(point);
}

void SceneGraph::update(float dt) { root_->update(dt); }

void SceneGraph::clear() { root_->clearChildren(); }

void SceneGraph::draw(sf::RenderTarget& target, sf::RenderStates states) const {
  target.draw(*root_, states);
}

} // namespace vexa
