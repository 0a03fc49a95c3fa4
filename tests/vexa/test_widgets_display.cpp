#include "support.h"

#include <vexa/gui/nodes/shapeshifterlabel.h>
#include <vexa/gui/nodes/shapeshiftertextboxnode.h>
#include <vexa/gui/scenegraph.h>

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/Text.hpp>

#include <stdexcept>

using namespace vexa;

namespace {

const char* const kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

class WithFont : public WithComponents {
protected:
  void SetUp() override {
    WithComponents::SetUp();
    if (!font.loadFromFile(kMono))
      GTEST_SKIP() << "font not installed: " << kMono;
  }
  sf::FloatRect textBounds(const std::string& s, unsigned size) {
    sf::Text t(s, font, size);
    return t.getGlobalBounds();
  }

  sf::Font font;
};

sf::Vector2f rectSize(ShapeShifter& s) {
  return static_cast<sf::RectangleShape&>(s.shape()).getSize();
}

} // namespace

TEST_F(WithFont, LabelShapeFitsItsTextPlusMargins) {
  SceneNode root;
  auto* label = root.makeChild<ShapeShifterLabel>(font, "Label text", 12u,
                                                  ShapeShifter::ShapeFlag,
                                                  ShapeShifter::Rectangle);
  EXPECT_TRUE(label->hasText());
  EXPECT_EQ(label->layoutMode(), ShapeShifter::FitToContent);
  label->setMargin(5.f, 5.f);
  const sf::FloatRect t = textBounds("Label text", 12);
  EXPECT_FLOAT_EQ(rectSize(*label).x, t.width + 10.f);
  EXPECT_FLOAT_EQ(rectSize(*label).y, t.height + 10.f);
  // Centred: shape and text share their centre.
  const sf::FloatRect shape = label->shape().getGlobalBounds();
  const sf::FloatRect text = label->text().getGlobalBounds();
  EXPECT_NEAR(shape.left + shape.width / 2.f, text.left + text.width / 2.f, 1e-3f);
  EXPECT_NEAR(shape.top + shape.height / 2.f, text.top + text.height / 2.f, 1e-3f);

  // Left-aligned text starts one margin in, and the shape one margin before.
  label->setAlignment(ShapeShifter::Left);
  EXPECT_NEAR(label->text().getGlobalBounds().left, 5.f, 1e-3f);
  EXPECT_NEAR(label->shape().getGlobalBounds().left, 0.f, 1e-3f);

  // The text-only label takes no part in pointer tracking.
  bool inside = true;
  EXPECT_FALSE(label->hitTest({0.f, 0.f}, inside));
}

TEST_F(WithFont, FixedSizeTextSitsOnTheShapeByTextAlignment) {
  SceneNode root;
  auto* label = root.makeChild<ShapeShifterLabel>(font, "abc", 12u,
                                                  ShapeShifter::ShapeFlag,
                                                  ShapeShifter::Rectangle);
  label->setMargin(5.f, 5.f);
  label->setFixedSize({200.f, 20.f});
  const sf::FloatRect shape = label->shape().getGlobalBounds();
  ASSERT_EQ(shape, sf::FloatRect(-100.f, -10.f, 200.f, 20.f));

  sf::FloatRect text = label->text().getGlobalBounds();
  EXPECT_NEAR(text.left + text.width / 2.f, 0.f, 1e-3f);
  EXPECT_NEAR(text.top + text.height / 2.f, 0.f, 1e-3f);

  label->setTextAlignment(ShapeShifter::Left);
  text = label->text().getGlobalBounds();
  EXPECT_NEAR(text.left, -95.f, 1e-3f);
  EXPECT_NEAR(text.top + text.height / 2.f, 0.f, 1e-3f);

  label->setTextAlignment(ShapeShifter::Right);
  text = label->text().getGlobalBounds();
  EXPECT_NEAR(text.left + text.width, 95.f, 1e-3f);
}

TEST_F(WithFont, FittingPrefersTheSmallerOfSpriteAndText) {
  ShapeShifter s(ShapeShifter::TextFlag | ShapeShifter::SpriteFlag | ShapeShifter::ShapeFlag,
                 ShapeShifter::Rectangle);
  s.text().setFont(font);
  s.text().setCharacterSize(12);
  s.sprite().setTextureRect({0, 0, 400, 300});
  s.setString("hi");
  const sf::FloatRect t = textBounds("hi", 12);
  EXPECT_FLOAT_EQ(rectSize(s).x, t.width);

  s.sprite().setTextureRect({0, 0, 2, 2});
  s.onSpriteChanged();
  EXPECT_EQ(rectSize(s), sf::Vector2f(2.f, 2.f));
}

TEST_F(WithFont, TextBoxShowsTheEditedTextAndPlacesTheCursorByCharacters) {
  SceneGraph graph;
  auto* box = graph.root().makeChild<ShapeShifterTextBoxNode>(
      ShapeShifter::TextFlag | ShapeShifter::ShapeFlag, ShapeShifter::Rectangle,
      &processor());
  box->text().setFont(font);
  box->text().setCharacterSize(12);
  box->setFixedSize({200.f, 20.f});
  box->setTextAlignment(ShapeShifter::Left);
  box->setPosition(300.f, 100.f);
  sf::String bound = "name";
  box->bindString(&bound);
  EXPECT_EQ(box->text().getString(), "name");

  graph.updateHover({300.f, 100.f});
  graph.touchDown({300.f, 100.f});
  graph.touchUp({300.f, 100.f});
  ASSERT_TRUE(box->hasFocus());
  ASSERT_EQ(processor().textInputTarget(), box);

  processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::End));
  processor().handleEvent(textEvent('s'));
  EXPECT_EQ(box->text().getString(), "names");

  const float advance = textBounds(" ", 12).width;
  const sf::FloatRect text = box->text().getGlobalBounds();
  const sf::RectangleShape& cursor = box->cursorShape();
  EXPECT_NEAR(cursor.getPosition().x, 5.f * advance + text.left, 1e-3f);
  EXPECT_EQ(cursor.getPosition().y, box->text().getPosition().y);

  processor().handleEvent(keyEvent(sf::Event::KeyPressed, sf::Keyboard::Home));
  EXPECT_NEAR(box->cursorShape().getPosition().x, text.left, 1e-3f);

  const float h = textBounds("l", 12).height;
  EXPECT_FLOAT_EQ(cursor.getSize().x, 1.f);
  EXPECT_FLOAT_EQ(cursor.getSize().y, 1.5f * h);
  EXPECT_FLOAT_EQ(cursor.getOrigin().y, 0.75f * h);

  processor().handleEvent(textEvent('\r'));
  EXPECT_EQ(bound, "names");
}

namespace {

std::string loadError(const std::function<void()>& load) {
  try {
    load();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

} // namespace

TEST(ResourceManager, AMissingTextureStopsLoadingWithThePath) {
  // What a game resource manager does: texture names carry a leading slash.
  struct Textures : vexa::ResourceManager {
    bool loadResources() override {
      const vexa::PathManager paths;
      textures().load(9, paths.texturesPath() + "/cursor.png");
      return true;
    }
  } resources;
  EXPECT_TRUE(resources.init());
  EXPECT_EQ(loadError([&] { resources.loadResources(); }),
            "ResourceHolder::load - Failed to load resources/textures//cursor.png");
}
