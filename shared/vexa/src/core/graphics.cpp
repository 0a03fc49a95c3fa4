#include "vexa/core/graphics.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>

namespace vexa {

Graphics::Graphics() = default;

Graphics::~Graphics() = default;

sf::RenderWindow* Graphics::window() const { return window_.get(); }

bool Graphics::init(const std::string& title) {
  title_ = title;
  window_ = std::make_unique<sf::RenderWindow>();
  create(800, 600, cDefaultStyle);
  return window_ != nullptr;
}

bool Graphics::isOpen() const { return window_ && window_->isOpen(); }

void Graphics::onResize(unsigned width, unsigned height) {
  // One unit of the default view per pixel, whatever the window size.
  window_->setView(sf::View(sf::FloatRect(0.f, 0.f, static_cast<float>(width),
                                          static_cast<float>(height))));
}

void Graphics::create(unsigned width, unsigned height, unsigned style) {
  window_->create(sf::VideoMode(width, height, 32), title_, style,
                  sf::ContextSettings(0, 0, 0, 1, 1));
  for (WindowListener* listener : listeners_)
    listener->onWindowCreated(*window_);
}

void Graphics::addListener(WindowListener* listener) {
  if (std::find(listeners_.begin(), listeners_.end(), listener) ==
      listeners_.end())
    listeners_.push_back(listener);
}

void Graphics::removeListener(WindowListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener),
                   listeners_.end());
}

void Graphics::setTitle(const std::string& title) {
  title_ = title;
  if (window_ && window_->isOpen())
    window_->setTitle(title_);
}

} // namespace vexa
