#include "sfmlutils/camera.h"

#include "sfmlutils/convert.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <qutils/assert.h>

namespace sfmlutils {

sf::View Camera::view() const {
  sf::View view(viewRect());
  view.setViewport(viewport_);
  view.setRotation(getRotation());
  if (flip_) {
    const sf::Vector2f size = view.getSize();
    view.setSize(size.x, -size.y);
  }
  return view;
}

sf::RenderWindow* Camera::window() const {
  Q_ASSERT(window_);
  return window_;
}

sf::FloatRect Camera::viewRect() const {
  const sf::Vector2f p = getPosition();
  const float w = size_.x * zoom_;
  const float h = size_.y * zoom_;
  return {p.x - w / 2.f, p.y - h / 2.f, w, h};
}

void Camera::move(const qutils::Vec2& offset) {
  sf::Transformable::move(toSf(offset));
}

void Camera::moveOnScreen(float dx, float dy) {
  move(qutils::Vec2(dx, dy).rotated(getRotation()));
}

void Camera::moveOnScreen(const qutils::Vec2& offset) {
  moveOnScreen(offset.x, offset.y);
}

void Camera::resetToWindow() {
  if (!window_)
    return;
  const sf::Vector2u size = window_->getSize();
  size_ = {static_cast<float>(size.x), static_cast<float>(size.y)};
  const sf::View& defaultView = window_->getDefaultView();
  setPosition(defaultView.getCenter());
  viewport_ = defaultView.getViewport();
}

void Camera::fitWindowSize() {
  const sf::Vector2u size = window()->getSize();
  size_ = {static_cast<float>(size.x), static_cast<float>(size.y)};
}

void Camera::setViewport(const sf::FloatRect& viewport) { viewport_ = viewport; }

void Camera::setWindow(sf::RenderWindow* window) { window_ = window; }

void Camera::setSize(const qutils::Vec2& size) { size_ = size; }

void Camera::update(float) {}

} // namespace sfmlutils
