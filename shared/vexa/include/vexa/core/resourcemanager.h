#pragma once

#include "vexa/core/resourceholder.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <cstdint>

namespace vexa {

using TextureHolder = ResourceHolder<sf::Texture, std::uint32_t>;
using FontHolder = ResourceHolder<sf::Font, std::uint32_t>;

// Every texture and font, loaded once at start-up by loadResources and
// handed out by id for the rest of the run.
class ResourceManager {
public:
  virtual bool init();
  virtual bool loadResources() = 0;
  virtual ~ResourceManager() = default;

  sf::Texture& texture(std::uint32_t id) { return textures_.get(id); }
  sf::Font& font(std::uint32_t id) { return fonts_.get(id); }
  // Frees a texture loaded on first use until it is asked for again, and
  // hands the memory back to the system.
  void releaseTexture(std::uint32_t id);

protected:
  TextureHolder& textures() { return textures_; }
  FontHolder& fonts() { return fonts_; }

private:
  TextureHolder textures_;
  FontHolder fonts_;
};

} // namespace vexa
