#include "vexa/gui/drawables/shapeshifter.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>
#include <qutils/assert.h>
#include <sfmlutils/origin.h>

#include <locale>

namespace vexa {

namespace {

// The origin of an element for an alignment: centre, or the vertical centre
// of its left or right edge.
template <typename T>
void anchor(T& drawable, std::uint32_t alignment) {
  switch (alignment) {
  case ShapeShifter::Left:
    sfmlutils::leftCenterOrigin(drawable);
    break;
  case ShapeShifter::Right:
    sfmlutils::rightCenterOrigin(drawable);
    break;
  default:
    sfmlutils::centerOrigin(drawable);
    break;
  }
}

sf::Vector2f centre(const sf::FloatRect& r) {
  return {r.left + r.width / 2.f, r.top + r.height / 2.f};
}

} // namespace

ShapeShifter::ShapeShifter(std::uint32_t flags, std::uint32_t shapeType)
    : shapeType_(shapeType) {
  create(flags, shapeType);
}

ShapeShifter::~ShapeShifter() = default;

std::uint32_t ShapeShifter::layoutMode() const { return layoutMode_; }

sf::FloatRect ShapeShifter::globalBounds(const qutils::Vec2& position) const {
  sf::FloatRect bounds;
  if (hasShape_)
    bounds = shape_->getGlobalBounds();
  else if (hasSprite_)
    bounds = sprite_->getGlobalBounds();
  else if (hasText_)
    bounds = text_->getGlobalBounds();
  bounds.left += position.x;
  bounds.top += position.y;
  return bounds;
}

const qutils::Vec2& ShapeShifter::margin() const { return margin_; }

sf::Shape& ShapeShifter::shape() {
  Q_ASSERT(shape_);
  return *shape_;
}

const sf::Shape& ShapeShifter::shape() const {
  Q_ASSERT(shape_);
  return *shape_;
}

sf::Shader* ShapeShifter::shapeShader() { return shapeShader_.get(); }

sf::Text& ShapeShifter::text() {
  Q_ASSERT(text_);
  return *text_;
}

const sf::Text& ShapeShifter::text() const {
  Q_ASSERT(text_);
  return *text_;
}

sf::Shader* ShapeShifter::textShader() { return textShader_.get(); }

sf::Sprite& ShapeShifter::sprite() {
  Q_ASSERT(sprite_);
  return *sprite_;
}

const sf::Sprite& ShapeShifter::sprite() const {
  Q_ASSERT(sprite_);
  return *sprite_;
}

sf::Shader* ShapeShifter::spriteShader() { return spriteShader_.get(); }

void ShapeShifter::updateLayout() {
  // Fitting sizes the shape from the content, so the content goes first.
  if (layoutMode_ == FitToContent) {
    layoutText();
    layoutSprite();
    layoutShape();
  } else {
    layoutShape();
    layoutSprite();
    layoutText();
  }
}

void ShapeShifter::setLayoutMode(std::uint32_t mode) {
  if (mode == layoutMode_)
    return;
  if (mode == FitToContent && !hasShape_)
    mode = FixedSize;
  layoutMode_ = mode;
  updateLayout();
}

void ShapeShifter::setMargin(const qutils::Vec2& margin) {
  {
    // Shadows the member: the check covers the new margin.
    const qutils::Vec2& margin_ = margin;
    Q_ASSERT((margin.x >= 0.f) && (margin_.y >= 0.f));
  }
  margin_ = margin;
  updateLayout();
}

void ShapeShifter::setMargin(float x, float y) { setMargin(qutils::Vec2(x, y)); }

void ShapeShifter::setAlignment(std::uint32_t alignment) {
  if (alignment == alignment_)
    return;
  alignment_ = alignment;
  updateLayout();
}

void ShapeShifter::setString(const std::string& string) {
  if (!hasText_)
    return;
  text_->setString(sf::String(string, std::locale()));
  onTextChanged();
}

void ShapeShifter::setTextAlignment(std::uint32_t alignment) {
  if (alignment == textAlignment_)
    return;
  textAlignment_ = alignment;
  updateLayout();
}

void ShapeShifter::create(std::uint32_t flags, std::uint32_t shapeType) {
  if (flags & TextFlag) {
    text_ = std::make_unique<sf::Text>();
    hasText_ = true;
  }
  if (flags & SpriteFlag) {
    sprite_ = std::make_unique<sf::Sprite>();
    hasSprite_ = true;
  }
  if (flags & ShapeFlag) {
    shapeType_ = shapeType;
    if (shapeType == Circle) {
      shape_ = std::make_unique<sf::CircleShape>(0.f, 30);
      hasShape_ = true;
    } else if (shapeType == Rectangle) {
      shape_ = std::make_unique<sf::RectangleShape>(sf::Vector2f(0.f, 0.f));
      hasShape_ = true;
    } else {
      Q_ASSERT(false);
    }
  }
  if (flags & TextShaderFlag)
    textShader_ = std::make_unique<sf::Shader>();
  if (flags & SpriteShaderFlag)
    spriteShader_ = std::make_unique<sf::Shader>();
  if (flags & ShapeShaderFlag)
    shapeShader_ = std::make_unique<sf::Shader>();
}

void ShapeShifter::setShapeSize(const qutils::Vec2& size) {
  if (!hasShape_)
    return;
  if (shapeType_ == Rectangle) {
    Q_ASSERT(size.x >= 0.f && size.y >= 0.f);
    static_cast<sf::RectangleShape&>(*shape_).setSize({size.x, size.y});
  } else {
    Q_ASSERT(size.x >= 0.f);
    static_cast<sf::CircleShape&>(*shape_).setRadius(size.x);
  }
}

void ShapeShifter::fitShapeToContent() {
  Q_ASSERT(hasSprite_ || hasText_);
  if (!hasShape_ || !(hasSprite_ || hasText_))
    return;

  sf::Vector2f content;
  if (hasSprite_) {
    const sf::FloatRect s = sprite_->getGlobalBounds();
    content = {s.width, s.height};
    if (hasText_ && s.width != 0.f) {
      const sf::FloatRect t = text_->getGlobalBounds();
      if (s.width * s.height > t.width * t.height)
        content = {t.width, t.height};
    }
  } else {
    const sf::FloatRect t = text_->getGlobalBounds();
    content = {t.width, t.height};
  }
  setShapeSize({content.x + 2.f * margin_.x, content.y + 2.f * margin_.y});

  Q_ASSERT(hasText_ || hasSprite_);
  const sf::Vector2f p = hasText_ ? text_->getPosition() : sprite_->getPosition();
  anchor(*shape_, alignment_);
  switch (alignment_) {
  case Left:
    shape_->setPosition(p.x - margin_.x, p.y);
    break;
  case Right:
    shape_->setPosition(p.x + margin_.x, p.y);
    break;
  default:
    shape_->setPosition(p);
    break;
  }
}

void ShapeShifter::onContentChanged() { updateLayout(); }

void ShapeShifter::onSpriteChanged() { updateLayout(); }

void ShapeShifter::onTextChanged() { updateLayout(); }

void ShapeShifter::layoutShape() {
  if (!hasShape_)
    return;
  if (layoutMode_ == FitToContent)
    fitShapeToContent();
  else if (layoutMode_ == FixedSize)
    anchor(*shape_, alignment_);
}

void ShapeShifter::layoutSprite() {
  if (!hasSprite_ || layoutMode_ == Manual)
    return;
  anchor(*sprite_, alignment_);
}

void ShapeShifter::layoutText() {
  if (!hasText_)
    return;
  if (layoutMode_ == FitToContent) {
    anchor(*text_, alignment_);
    if (alignment_ == Left)
      text_->setPosition(margin_.x, 0.f);
    else if (alignment_ == Right)
      text_->setPosition(-margin_.x, 0.f);
  } else if (layoutMode_ == FixedSize) {
    Q_ASSERT(text_ && (hasShape_ || hasSprite_));
    if (!(hasShape_ || hasSprite_))
      return;
    const sf::FloatRect b =
        hasShape_ ? shape_->getGlobalBounds() : sprite_->getGlobalBounds();
    const sf::Vector2f c = centre(b);
    const float h = b.width / 2.f;
    anchor(*text_, textAlignment_);
    if (textAlignment_ == Left)
      text_->setPosition(c.x - h + margin_.x, 0.f);
    else if (textAlignment_ == Right)
      text_->setPosition(c.x + h - margin_.x, 0.f);
    else
      text_->setPosition(c);
  }
}

void ShapeShifter::setUpText(const sf::Font& font, unsigned characterSize,
                             const std::string& string) {
  Q_ASSERT(text_);
  if (!text_)
    return;
  text_->setFont(font);
  text_->setCharacterSize(characterSize);
  setString(string);
}

void ShapeShifter::setFixedSize(const qutils::Vec2& size) {
  layoutMode_ = FixedSize;
  setShapeSize(size);
  updateLayout();
}

void ShapeShifter::createSprite(const sf::Texture& texture) {
  sprite_ = std::make_unique<sf::Sprite>(texture);
  hasSprite_ = true;
  sfmlutils::centerOrigin(*sprite_);
}

void ShapeShifter::draw(sf::RenderTarget& target,
                        sf::RenderStates states) const {
  if (hasShape_) {
    sf::RenderStates s = states;
    if (shapeShader_)
      s.shader = shapeShader_.get();
    target.draw(*shape_, s);
  }
  if (hasSprite_) {
    sf::RenderStates s = states;
    if (spriteShader_)
      s.shader = spriteShader_.get();
    target.draw(*sprite_, s);
  }
  if (hasText_) {
    sf::RenderStates s = states;
    if (textShader_)
      s.shader = textShader_.get();
    target.draw(*text_, s);
  }
}

} // namespace vexa
