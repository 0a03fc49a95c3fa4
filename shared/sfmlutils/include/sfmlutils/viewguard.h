#pragma once

#include <SFML/Graphics/View.hpp>
#include <SFML/System/NonCopyable.hpp>

namespace sf {
class RenderTarget;
}

namespace sfmlutils {

class Camera;

// Installs a view on a render target for the guard's lifetime.
class ViewGuard : sf::NonCopyable {
public:
  ViewGuard(sf::RenderTarget& target, const sf::View& view);
  ViewGuard(sf::RenderTarget& target, const Camera& camera);
  ~ViewGuard();

private:
  sf::RenderTarget& target_;
  sf::View previous_;
};

} // namespace sfmlutils
