#include "sfmlutils/viewguard.h"

#include "sfmlutils/camera.h"

#include <SFML/Graphics/RenderTarget.hpp>

namespace sfmlutils {

ViewGuard::ViewGuard(sf::RenderTarget& target, const sf::View& view)
    : target_(target), previous_(target.getView()) {
  target_.setView(view);
}

ViewGuard::ViewGuard(sf::RenderTarget& target, const Camera& camera)
    : ViewGuard(target, camera.view()) {}

ViewGuard::~ViewGuard() { target_.setView(previous_); }

} // namespace sfmlutils
