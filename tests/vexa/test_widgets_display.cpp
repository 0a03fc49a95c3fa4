#include "support.h"

#include <vexa/gui/nodes/shapeshifterlabel.h>
#include <vexa/gui/nodes/shapeshiftertextboxnode.h>

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

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

  click(graph, {300.f, 100.f});
  send(keyEvent(sf::Keyboard::End));
  send(textEvent('s'));
  EXPECT_EQ(box->text().getString(), "names");

  const float advance = textBounds(" ", 12).width;
  const sf::FloatRect text = box->text().getGlobalBounds();
  const sf::RectangleShape& cursor = box->cursorShape();
  EXPECT_NEAR(cursor.getPosition().x, 5.f * advance + text.left, 1e-3f);
  EXPECT_EQ(cursor.getPosition().y, box->text().getPosition().y);

  send(keyEvent(sf::Keyboard::Home));
  EXPECT_NEAR(box->cursorShape().getPosition().x, text.left, 1e-3f);
}
