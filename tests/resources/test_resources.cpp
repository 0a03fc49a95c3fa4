#include <SFML/Graphics.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kRes = std::string(VUZUDER_SOURCE_DIR) + "/resources/";
const std::string kTex = kRes + "textures/";
const std::vector<std::string> kThemes{"default", "night"};
const std::vector<std::string> kThemedPrefixes{"ship_1_1-", "ship_1_2-", "ship_2_1-", "ship_2_2-",
                                               "checkpoint_base-", "checkpoint_flash_mask-", "background-"};
const std::vector<std::string> kFixed{"particle_trail.png", "particle_engine.png", "particle_spark.png",
                                      "ui_gamemode.png",    "ui_teamname.png",     "ui_teamname_mask.png",
                                      "logo.png",           "keys_p1.png",         "keys_p2.png",
                                      "cursor.png",         "logo_cpp.png",        "logo_sfml.png",
                                      "logo_tarvok.png"};

std::vector<std::string> allTextureFiles() {
    std::vector<std::string> files = kFixed;
    for (const auto& theme : kThemes)
        for (const auto& prefix : kThemedPrefixes) files.push_back(prefix + theme + ".png");
    return files;
}

sf::Image image(const std::string& file) {
    sf::Image img;
    EXPECT_TRUE(img.loadFromFile(kTex + file)) << file;
    return img;
}

float meanAlpha(const sf::Image& img, unsigned x0, unsigned y0, unsigned x1, unsigned y1) {
    double sum = 0.0;
    for (unsigned y = y0; y < y1; ++y)
        for (unsigned x = x0; x < x1; ++x) sum += img.getPixel(x, y).a;
    return static_cast<float>(sum / ((x1 - x0) * (y1 - y0)));
}

float meanLuma(const sf::Image& img) {
    double sum = 0.0;
    const sf::Vector2u s = img.getSize();
    for (unsigned y = 0; y < s.y; y += 2)
        for (unsigned x = 0; x < s.x; x += 2) {
            const sf::Color c = img.getPixel(x, y);
            sum += (0.299 * c.r + 0.587 * c.g + 0.114 * c.b) * c.a / 255.0;
        }
    return static_cast<float>(sum / ((s.x / 2) * (s.y / 2)));
}

// Fraction of pixels whose colour or alpha differ noticeably.
float difference(const sf::Image& a, const sf::Image& b) {
    const sf::Vector2u s = a.getSize();
    if (s != b.getSize()) return 1.f;
    size_t diff = 0;
    for (unsigned y = 0; y < s.y; ++y)
        for (unsigned x = 0; x < s.x; ++x) {
            const sf::Color p = a.getPixel(x, y), q = b.getPixel(x, y);
            const int d = std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) + std::abs(p.a - q.a);
            if (d > 60) ++diff;
        }
    return static_cast<float>(diff) / (s.x * s.y);
}

// Collects what SFML reports on its error stream (e.g. an unknown uniform).
class ErrCapture {
public:
    ErrCapture() : old_(sf::err().rdbuf(buf_.rdbuf())) {}
    ~ErrCapture() { sf::err().rdbuf(old_); }
    std::string text() const { return buf_.str(); }

private:
    std::stringstream buf_;
    std::streambuf* old_;
};

std::unique_ptr<sf::Shader> loadShader(const std::string& name) {
    auto shader = std::make_unique<sf::Shader>();
    ErrCapture err;
    const bool ok = shader->loadFromFile(kRes + "shaders/" + name, sf::Shader::Fragment);
    EXPECT_TRUE(ok) << name << ": " << err.text();
    return ok ? std::move(shader) : nullptr;
}

// Draws a circle of the canvas size through a shader, as the race does.
sf::Image renderCircle(const sf::Shader& shader, unsigned side) {
    sf::RenderTexture rt;
    EXPECT_TRUE(rt.create(side, side));
    rt.clear(sf::Color::Transparent);
    sf::CircleShape circle(side * 0.5f, 30);
    circle.setFillColor(sf::Color::Transparent);
    rt.draw(circle, &shader);
    rt.display();
    return rt.getTexture().copyToImage();
}

// One GL context for the whole run: without it SFML opens and closes a display
// connection for every texture, which Xvfb stops accepting after a while.
class GlEnvironment : public ::testing::Environment {
public:
    void SetUp() override { context_ = std::make_unique<sf::Context>(); }
    void TearDown() override { context_.reset(); }

private:
    std::unique_ptr<sf::Context> context_;
};
::testing::Environment* const kGl = ::testing::AddGlobalTestEnvironment(new GlEnvironment);

const unsigned kShieldSide = static_cast<unsigned>(2.f * (400.f / 2.34375f) + 75.f);

}  // namespace

TEST(ResourceFiles, FontLoads) {
    sf::Font font;
    ASSERT_TRUE(font.loadFromFile(kRes + "fonts/monofonto.ttf"));
    // The text boxes rely on equal advances.
    EXPECT_EQ(font.getGlyph('i', 20, false).advance, font.getGlyph('W', 20, false).advance);
}

TEST(ResourceFiles, IconLoads) {
    sf::Image icon;
    ASSERT_TRUE(icon.loadFromFile(kRes + "icon.png"));
    EXPECT_EQ(icon.getSize().x, icon.getSize().y);
    EXPECT_GT(meanAlpha(icon, 0, 0, icon.getSize().x, icon.getSize().y), 100.f);
}

TEST(ResourceFiles, EveryTextureLoadsAndShowsSomething) {
    for (const auto& file : allTextureFiles()) {
        sf::Texture t;
        ASSERT_TRUE(t.loadFromFile(kTex + file)) << file;
        const sf::Image img = t.copyToImage();
        EXPECT_GT(meanAlpha(img, 0, 0, img.getSize().x, img.getSize().y), 2.f) << file << " is empty";
    }
}

TEST(ResourceFiles, ThemesShareSizesAndDiffer) {
    for (const auto& prefix : kThemedPrefixes) {
        const sf::Image day = image(prefix + "default.png");
        const sf::Image night = image(prefix + "night.png");
        EXPECT_EQ(day.getSize(), night.getSize()) << prefix;
        if (prefix == "checkpoint_flash_mask-") {
            EXPECT_EQ(day.getSize(), image("checkpoint_base-default.png").getSize());
        }
        if (prefix != "checkpoint_flash_mask-") {
            EXPECT_GT(difference(day, night), 0.05f) << prefix << " looks the same in both themes";
        }
    }
    // Dusk is darker than day.
    EXPECT_LT(meanLuma(image("background-night.png")), meanLuma(image("background-default.png")) * 0.7f);
}

TEST(ResourceFiles, PodsAreRoundCentredAndDistinct) {
    for (const auto& theme : kThemes) {
        std::vector<sf::Image> pods;
        for (const char* name : {"ship_1_1-", "ship_1_2-", "ship_2_1-", "ship_2_2-"}) {
            pods.push_back(image(std::string(name) + theme + ".png"));
            const sf::Image& p = pods.back();
            const sf::Vector2u s = p.getSize();
            ASSERT_EQ(s.x, s.y) << name << theme;
            // A pod is drawn centred on its position: its body fills the middle ...
            EXPECT_GT(meanAlpha(p, s.x * 3 / 8, s.y * 3 / 8, s.x * 5 / 8, s.y * 5 / 8), 200.f) << name << theme;
            // ... and the corners, outside its round hull, stay clear.
            EXPECT_LT(meanAlpha(p, 0, 0, s.x / 8, s.y / 8), 8.f) << name << theme;
            EXPECT_LT(meanAlpha(p, s.x * 7 / 8, s.y * 7 / 8, s.x, s.y), 8.f) << name << theme;
        }
        for (size_t i = 0; i < pods.size(); ++i)
            for (size_t j = i + 1; j < pods.size(); ++j)
                EXPECT_GT(difference(pods[i], pods[j]), 0.2f) << "pods " << i << " and " << j << " look alike";
    }
}

TEST(ResourceFiles, EngineAtlasIsTwoByTwo) {
    const sf::Image atlas = image("particle_engine.png");
    const sf::Vector2u s = atlas.getSize();
    ASSERT_EQ(s.x, s.y);
    ASSERT_EQ(s.x % 2, 0u);
    const unsigned h = s.x / 2;
    std::vector<sf::Image> frames(4);
    for (unsigned f = 0; f < 4; ++f) {
        const unsigned x0 = (f % 2) * h, y0 = (f / 2) * h;
        // Each frame holds a puff in its middle and fades out before its border,
        // so neighbouring frames never bleed into a quad.
        EXPECT_GT(meanAlpha(atlas, x0 + h / 4, y0 + h / 4, x0 + 3 * h / 4, y0 + 3 * h / 4), 60.f) << f;
        EXPECT_LT(meanAlpha(atlas, x0, y0, x0 + h, y0 + 1), 1.f) << f;
        frames[f].create(h, h);
        frames[f].copy(atlas, 0, 0, sf::IntRect(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(h),
                                                static_cast<int>(h)));
    }
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) EXPECT_GT(difference(frames[i], frames[j]), 0.02f) << i << " " << j;
}

TEST(ResourceShaders, ShieldFadesOutAsTimeRunsDown) {
    auto shield = loadShader("fsshield.h");
    ASSERT_TRUE(shield);
    shield->setUniform("resolution", sf::Vector2f(static_cast<float>(kShieldSide), static_cast<float>(kShieldSide)));
    shield->setUniform("color", sf::Glsl::Vec4(sf::Color(255, 44, 44)));
    shield->setUniform("time", 2.f);
    const float raised = meanAlpha(renderCircle(*shield, kShieldSide), 0, 0, kShieldSide, kShieldSide);
    shield->setUniform("time", 0.f);
    const float gone = meanAlpha(renderCircle(*shield, kShieldSide), 0, 0, kShieldSide, kShieldSide);
    EXPECT_GT(raised, 10.f);
    EXPECT_LT(gone, 0.5f);
}

TEST(ResourceShaders, ImpactLandsOnItsSide) {
    auto impact = loadShader("fsshieldimpact.h");
    ASSERT_TRUE(impact);
    const unsigned s = kShieldSide, h = s / 2;
    impact->setUniform("resolution", sf::Vector2f(static_cast<float>(s), static_cast<float>(s)));
    impact->setUniform("time", 0.1f);
    impact->setUniform("factor", 1.f);
    impact->setUniform("color", sf::Glsl::Vec4(sf::Color::White));
    // Canvas x and y are world x and y: the race camera turns world +y upwards.
    impact->setUniform("impactAngle", 0.f);
    sf::Image img = renderCircle(*impact, s);
    EXPECT_GT(meanAlpha(img, h, 0, s, s), 3.f * meanAlpha(img, 0, 0, h, s));
    impact->setUniform("impactAngle", 90.f);
    img = renderCircle(*impact, s);
    EXPECT_GT(meanAlpha(img, 0, h, s, s), 3.f * meanAlpha(img, 0, 0, s, h));
    // Stronger hits light more of the bubble.
    impact->setUniform("factor", 0.1f);
    const float weak = meanAlpha(renderCircle(*impact, s), 0, 0, s, s);
    impact->setUniform("factor", 1.f);
    const float strong = meanAlpha(renderCircle(*impact, s), 0, 0, s, s);
    EXPECT_GT(strong, weak * 1.5f);
    // And the flash is over once its age reaches 1.
    impact->setUniform("time", 1.f);
    EXPECT_LT(meanAlpha(renderCircle(*impact, s), 0, 0, s, s), 0.5f);
}

TEST(ResourceShaders, CheckpointFlashShowsEveryModeAndEnds) {
    auto flash = loadShader("fscheckpointflash.h");
    ASSERT_TRUE(flash);
    sf::Texture mask;
    ASSERT_TRUE(mask.loadFromFile(kTex + "checkpoint_flash_mask-night.png"));
    const unsigned side = mask.getSize().x;
    flash->setUniform("resolution", sf::Vector2f(static_cast<float>(side), static_cast<float>(side)));
    flash->setUniform("texture", mask);
    flash->setUniform("color", sf::Glsl::Vec4(sf::Color(255, 145, 0)));
    auto render = [&](int mode, float time) {
        flash->setUniform("mode", mode);
        flash->setUniform("time", time);
        sf::RenderTexture rt;
        EXPECT_TRUE(rt.create(side, side));
        rt.clear(sf::Color::Transparent);
        rt.draw(sf::RectangleShape(sf::Vector2f(static_cast<float>(side), static_cast<float>(side))), flash.get());
        rt.display();
        return rt.getTexture().copyToImage();
    };
    std::vector<sf::Image> modes;
    for (int mode : {0, 1, 2}) {
        modes.push_back(render(mode, 0.3f));
        EXPECT_GT(meanAlpha(modes.back(), 0, 0, side, side), 10.f) << "mode " << mode;
        EXPECT_LT(meanAlpha(render(mode, 2.5f), 0, 0, side, side), 0.5f) << "mode " << mode;
    }
    // The two race flashes must be told apart when both show on one pad.
    EXPECT_GT(difference(modes[0], modes[1]), 0.05f);
}

TEST(ResourceShaders, TimeoutMeterFillsUpToThreshold) {
    auto meter = loadShader("fstimeoutmeter.h");
    ASSERT_TRUE(meter);
    sf::Image white;
    white.create(4, 4, sf::Color::White);
    sf::Texture tex;
    ASSERT_TRUE(tex.loadFromImage(white));
    sf::RenderTexture rt;
    ASSERT_TRUE(rt.create(200, 20));
    meter->setUniform("color", sf::Glsl::Vec4(sf::Color(61, 187, 178)));
    meter->setUniform("threshold", 0.5f);
    rt.clear(sf::Color::Transparent);
    sf::Sprite bar(tex);
    bar.setScale(50.f, 5.f);
    rt.draw(bar, meter.get());
    rt.display();
    const sf::Image img = rt.getTexture().copyToImage();
    auto lumaAt = [&](unsigned x) {
        const sf::Color c = img.getPixel(x, 10);
        return (c.r + c.g + c.b) * c.a / 255.f;
    };
    // Filled on the left of the threshold, an empty track on the right.
    EXPECT_GT(lumaAt(50), 2.f * lumaAt(150));
    EXPECT_GT(lumaAt(90), 2.f * lumaAt(110));
}
