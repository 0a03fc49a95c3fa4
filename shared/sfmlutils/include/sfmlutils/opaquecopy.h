#pragma once

#include <SFML/Graphics/Shader.hpp>
#include <SFML/System/NonCopyable.hpp>

namespace sf {
class RenderTarget;
class Texture;
} // namespace sf

namespace sfmlutils {

// Copies an opaque, target-sized texture (a cache of what never moves) over
// the whole target, pixel for pixel. A software renderer spends about 10 ms
// on such a full-window quad; a shader that only fetches the texel, with no
// colour to modulate nor perspective to correct, takes about a third off.
// Without shaders the plain quad is drawn.
class OpaqueCopy : sf::NonCopyable {
public:
  void draw(const sf::Texture& source, sf::RenderTarget& target);

private:
  sf::Shader shader_;
  int copies_ = 0;
  bool tried_ = false;
  bool ready_ = false;
};

} // namespace sfmlutils
