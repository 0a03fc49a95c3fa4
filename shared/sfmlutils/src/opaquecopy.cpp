#include "sfmlutils/opaquecopy.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Texture.hpp>

namespace sfmlutils {

namespace {

const char* const kVertex =
    "#version 130\n"
    "noperspective out vec2 uv;\n"
    "void main() {\n"
    "  gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;\n"
    "  uv = (gl_TextureMatrix[0] * gl_MultiTexCoord0).xy;\n"
    "}\n";

const char* const kFragment =
    "#version 130\n"
    "uniform sampler2D source;\n"
    "noperspective in vec2 uv;\n"
    "void main() { gl_FragColor = texture2D(source, uv); }\n";

} // namespace

void OpaqueCopy::draw(const sf::Texture& source, sf::RenderTarget& target) {
  // The first copy is the plain quad: compiling the shader then would delay
  // the first frame of the program.
  if (!tried_ && copies_++ > 0) {
    tried_ = true;
    ready_ = sf::Shader::isAvailable() && shader_.loadFromMemory(kVertex, kFragment);
    if (ready_)
      shader_.setUniform("source", sf::Shader::CurrentTexture);
  }
  sf::RenderStates states(sf::BlendNone);
  if (ready_)
    states.shader = &shader_;
  const sf::View previous = target.getView();
  // Not the default view: a window keeps the one of its first size, and a
  // resized window would scale the copy.
  const sf::Vector2u size = target.getSize();
  target.setView(sf::View(sf::FloatRect(0.f, 0.f, static_cast<float>(size.x),
                                        static_cast<float>(size.y))));
  target.draw(sf::Sprite(source), states);
  target.setView(previous);
}

} // namespace sfmlutils
