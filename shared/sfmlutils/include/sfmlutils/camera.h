#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Transformable.hpp>
#include <SFML/Graphics/View.hpp>
#include <qutils/vec2.h>

namespace sf {
class RenderWindow;
}

namespace sfmlutils {

// A 2D camera: the position is the world point at the centre of its screen
// area, the rotation that of the view. zoom is world units per pixel; flip
// makes world y grow upwards on screen.
class Camera : public sf::Transformable {
public:
  Camera() = default;

  virtual ~Camera() = default;
  virtual sf::View view() const;
  virtual sf::RenderWindow* window() const;
  virtual sf::FloatRect viewRect() const;
  virtual void move(const qutils::Vec2& offset);
  virtual void moveOnScreen(float dx, float dy);
  virtual void moveOnScreen(const qutils::Vec2& offset);
  virtual void resetToWindow();
  virtual void fitWindowSize();
  virtual void setViewport(const sf::FloatRect& viewport);
  virtual void setWindow(sf::RenderWindow* window);
  virtual void setSize(const qutils::Vec2& size);
  virtual void update(float dt);

  const sf::FloatRect& viewport() const { return viewport_; }
  const qutils::Vec2& size() const { return size_; }
  float zoom() const { return zoom_; }
  void setZoom(float zoom) { zoom_ = zoom; }
  void zoomBy(float factor) { zoom_ *= factor; }
  bool flip() const { return flip_; }
  void setFlip(bool flip) { flip_ = flip; }

private:
  sf::FloatRect viewport_;
  sf::RenderWindow* window_ = nullptr;
  qutils::Vec2 size_;
  float zoom_ = 1.f;
  bool flip_ = true;
};

} // namespace sfmlutils
