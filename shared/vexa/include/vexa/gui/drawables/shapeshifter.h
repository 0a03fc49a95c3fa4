#pragma once

#include <SFML/Graphics/Drawable.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <qutils/vec2.h>

#include <cstdint>
#include <memory>
#include <string>

namespace sf {
class Font;
class Shader;
class Shape;
class Sprite;
class Text;
class Texture;
} // namespace sf

namespace vexa {

// A composite of an optional shape, sprite and text (each with an optional
// shader), laid out together: the shape around the content, or the content
// on a fixed-size shape, or left alone.
class ShapeShifter : public virtual sf::Drawable {
public:
  enum ShapeType : std::uint32_t { Circle = 0, Rectangle = 1 };
  enum LayoutMode : std::uint32_t { FitToContent = 0, FixedSize = 1, Manual = 2 };
  enum Alignment : std::uint32_t { Center = 0, Left = 1, Right = 2 };
  enum Flags : std::uint32_t {
    TextFlag = 1,
    SpriteFlag = 2,
    ShapeFlag = 4,
    TextShaderFlag = 8,
    SpriteShaderFlag = 16,
    ShapeShaderFlag = 32
  };

  ShapeShifter(std::uint32_t flags, std::uint32_t shapeType);

  virtual std::uint32_t layoutMode() const;
  // Bounds of the shape, else the sprite, else the text, moved by position.
  virtual sf::FloatRect globalBounds(const qutils::Vec2& position) const;
  virtual const qutils::Vec2& margin() const;
  virtual sf::Shape& shape();
  virtual sf::Shader* shapeShader();
  virtual sf::Text& text();
  virtual sf::Shader* textShader();
  virtual void updateLayout();
  // Fitting needs a shape: without one the mode becomes fixed size.
  virtual void setLayoutMode(std::uint32_t mode);
  virtual void setMargin(const qutils::Vec2& margin);
  virtual void setMargin(float x, float y);
  virtual void setAlignment(std::uint32_t alignment);
  // The byte string is read in the current locale.
  virtual void setString(const std::string& string);
  virtual void setTextAlignment(std::uint32_t alignment);
  virtual void create(std::uint32_t flags, std::uint32_t shapeType);
  // A circle takes size.x as its radius.
  virtual void setShapeSize(const qutils::Vec2& size);
  virtual void fitShapeToContent();
  virtual void onContentChanged();
  virtual void onSpriteChanged();
  virtual void onTextChanged();
  virtual void layoutShape();
  virtual void layoutSprite();
  virtual void layoutText();
  ~ShapeShifter() override;

  const sf::Shape& shape() const;
  const sf::Text& text() const;
  sf::Sprite& sprite();
  const sf::Sprite& sprite() const;
  sf::Shader* spriteShader();
  void setFixedSize(const qutils::Vec2& size);
  // The sprite shows the whole texture, centred on its origin.
  void createSprite(const sf::Texture& texture);

  std::uint32_t shapeType() const { return shapeType_; }
  std::uint32_t textAlignment() const { return textAlignment_; }
  std::uint32_t alignment() const { return alignment_; }
  bool hasText() const { return hasText_; }
  bool hasShape() const { return hasShape_; }
  bool hasSprite() const { return hasSprite_; }

protected:
  // Font, size and string of the text, which must exist.
  void setUpText(const sf::Font& font, unsigned characterSize,
                 const std::string& string);

  // Shape, then sprite, then text, each with its own shader only.
  void draw(sf::RenderTarget& target, sf::RenderStates states) const override;

private:
  std::uint32_t shapeType_ = Rectangle;
  std::uint32_t layoutMode_ = FitToContent;
  std::uint32_t textAlignment_ = Center;
  std::uint32_t alignment_ = Center;
  bool hasText_ = false;
  bool hasShape_ = false;
  bool hasSprite_ = false;
  qutils::Vec2 margin_;
  std::unique_ptr<sf::Text> text_;
  std::unique_ptr<sf::Shader> textShader_;
  std::unique_ptr<sf::Shape> shape_;
  std::unique_ptr<sf::Shader> shapeShader_;
  std::unique_ptr<sf::Sprite> sprite_;
  std::unique_ptr<sf::Shader> spriteShader_;
};

} // namespace vexa
