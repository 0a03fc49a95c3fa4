// Renders the effect shaders the way the race does, at a few time values,
// into contact sheets, so that they can be judged without running the game.
#include "art.h"

#include <SFML/Graphics.hpp>

#include <functional>
#include <iostream>
#include <memory>

namespace artgen {

namespace {

constexpr float kUnits = 2.34375f;
const sf::Color kRaceFlash[2] = {sf::Color(61, 187, 178), sf::Color(255, 145, 0)};
const sf::Color kPod[4] = {sf::Color(105, 211, 244), sf::Color(72, 227, 184), sf::Color(255, 44, 44),
                           sf::Color(255, 116, 231)};

struct Sheet {
    sf::RenderTexture rt;
    int cols = 0, rows = 0, cell = 0;
    sf::Font* font = nullptr;

    bool create(int c, int r, int cellSize) {
        cols = c;
        rows = r;
        cell = cellSize;
        return rt.create(static_cast<unsigned>(c * cellSize), static_cast<unsigned>(r * cellSize + 24 * r));
    }
    // A world view on cell (i, j): y grows upwards like the race camera.
    sf::View worldView(int i, int j, float worldSize) const {
        const float W = static_cast<float>(rt.getSize().x), H = static_cast<float>(rt.getSize().y);
        sf::View v(sf::Vector2f(0.f, 0.f), sf::Vector2f(worldSize, -worldSize));
        v.setViewport(sf::FloatRect(i * cell / W, (j * (cell + 24) + 24) / H, cell / W, cell / H));
        return v;
    }
    void label(int i, int j, const std::string& s) {
        rt.setView(rt.getDefaultView());
        sf::Text t(s, *font, 14);
        t.setPosition(static_cast<float>(i * cell + 6), static_cast<float>(j * (cell + 24) + 4));
        t.setFillColor(sf::Color(230, 230, 230));
        rt.draw(t);
    }
    bool save(const std::string& path) {
        rt.display();
        const bool ok = rt.getTexture().copyToImage().saveToFile(path);
        std::cout << (ok ? "wrote " : "cannot write ") << path << "\n";
        return ok;
    }
};

void centre(sf::Sprite& s) {
    const sf::FloatRect b = s.getLocalBounds();
    s.setOrigin(b.width * 0.5f, b.height * 0.5f);
}

// A still of a race at the scales given in docs/ART.md, to judge the art together.
bool previewScene(const std::string& res, const std::string& out, const std::string& theme) {
    const std::string tx = res + "/textures/";
    sf::Texture bg, cp, engine, spark, cursor, keys, pods[4];
    const char* podNames[4] = {"ship_1_1-", "ship_1_2-", "ship_2_1-", "ship_2_2-"};
    bool ok = bg.loadFromFile(tx + "background-" + theme + ".png") &&
              cp.loadFromFile(tx + "checkpoint_base-" + theme + ".png") &&
              engine.loadFromFile(tx + "particle_engine.png") && spark.loadFromFile(tx + "particle_spark.png") &&
              cursor.loadFromFile(tx + "cursor.png") && keys.loadFromFile(tx + "keys_p1.png");
    for (int i = 0; i < 4; ++i) ok = ok && pods[i].loadFromFile(tx + podNames[i] + theme + ".png");
    if (!ok) return false;
    for (sf::Texture* t : {&bg, &cp, &pods[0], &pods[1], &pods[2], &pods[3]}) {
        t->setSmooth(true);
        t->generateMipmap();
    }
    sf::RenderTexture rt;
    if (!rt.create(1600, 900)) return false;
    rt.clear();
    // Camera on part of the field, y up; world units / 2.34375 = drawing units.
    sf::View view(sf::Vector2f(2600.f, 1500.f), sf::Vector2f(3200.f, -1800.f));
    rt.setView(view);
    sf::Sprite back(bg);
    back.setScale(16000.f / kUnits / bg.getSize().x, 9000.f / kUnits / bg.getSize().y);
    rt.draw(back);
    const sf::Vector2f cps[3] = {{1700.f, 1200.f}, {3500.f, 2100.f}, {3300.f, 900.f}};
    for (const auto& c : cps) {
        sf::Sprite s(cp);
        centre(s);
        s.setPosition(c);
        rt.draw(s);
    }
    // Trails, then engine puffs behind each pod.
    const sf::Vector2f podPos[4] = {{2200.f, 1500.f}, {2500.f, 1150.f}, {2900.f, 1750.f}, {2050.f, 1900.f}};
    const float podAngle[4] = {20.f, 5.f, -30.f, 60.f};
    const sf::Color trail[2] = {sf::Color(91, 188, 246), sf::Color(154, 41, 41)};
    sf::VertexArray lines(sf::Lines);
    sf::VertexArray quads(sf::Quads);
    const float W = static_cast<float>(engine.getSize().x);
    for (int i = 0; i < 4; ++i) {
        const float a = podAngle[i] * kPi / 180.f;
        const sf::Vector2f back(-std::cos(a), -std::sin(a));
        for (int k = 0; k < 12; ++k) {
            sf::Color c = trail[i / 2];
            c.a = static_cast<sf::Uint8>(255 - k * 20);
            lines.append(sf::Vertex(podPos[i] + back * (k * 60.f), c));
            lines.append(sf::Vertex(podPos[i] + back * ((k + 1) * 60.f), c));
        }
        for (int k = 0; k < 14; ++k) {
            const float life = k / 14.f;
            const sf::Vector2f pos = podPos[i] + back * (150.f + life * 220.f) +
                                     sf::Vector2f(back.y, -back.x) * (std::sin(k * 2.3f) * 25.f * life);
            const float g = life < 0.25f ? 0.6f : life < 0.75f ? 0.95f : 1.5f;
            const float d = g * W / 2.f;
            const sf::Color hot = i < 2 ? sf::Color(35, 91, 217) : sf::Color(177, 36, 21);
            sf::Color c = life < 0.2f ? sf::Color(204, 205, 204, 120) : hot;
            c.a = static_cast<sf::Uint8>(c.a * (1.f - life));
            const int frame = k % 4;
            const float u = (frame % 2) * W / 2.f, v = (frame / 2) * W / 2.f;
            const float rot = k * 13.f;
            const float offs[4] = {135.f, 45.f, 315.f, 225.f};
            const sf::Vector2f tcs[4] = {{u, v}, {u + W / 2.f, v}, {u + W / 2.f, v + W / 2.f}, {u, v + W / 2.f}};
            for (int q = 0; q < 4; ++q) {
                const float r = (rot + offs[q]) * kPi / 180.f;
                quads.append(sf::Vertex(pos + sf::Vector2f(std::cos(r), std::sin(r)) * d, c, tcs[q]));
            }
        }
    }
    rt.draw(lines);
    sf::RenderStates es(&engine);
    es.blendMode = sf::BlendAdd;
    rt.draw(quads, es);
    for (int i = 0; i < 4; ++i) {
        sf::Sprite s(pods[i]);
        centre(s);
        s.setPosition(podPos[i]);
        s.setRotation(podAngle[i]);
        rt.draw(s);
    }
    // Player 1's arrow towards its next checkpoint, 170.67 units from the centre.
    {
        const sf::Vector2f to = cps[1] - podPos[0];
        const float a = std::atan2(to.y, to.x);
        sf::Sprite s(cursor);
        centre(s);
        s.setPosition(podPos[0] + sf::Vector2f(std::cos(a), std::sin(a)) * 170.67f);
        s.setRotation(a * 180.f / kPi);
        s.setScale(1.5f, 1.5f);
        rt.draw(s);
    }
    // A spark burst between pods 2 and 3.
    sf::VertexArray sparks(sf::Quads);
    const sf::Vector2f hit(2470.f, 1830.f);
    const float sw = static_cast<float>(spark.getSize().x), sh = static_cast<float>(spark.getSize().y);
    for (int k = 0; k < 14; ++k) {
        const float a = (70.f + (k % 2) * 180.f + std::sin(k * 1.7f) * 40.f) * kPi / 180.f;
        const sf::Vector2f pos = hit + sf::Vector2f(std::cos(a), std::sin(a)) * (80.f + k * 25.f);
        const sf::Vector2f corners[4] = {{-sw / 2, -sh / 2}, {sw / 2, -sh / 2}, {sw / 2, sh / 2}, {-sw / 2, sh / 2}};
        const sf::Vector2f tcs[4] = {{0.f, 0.f}, {sw, 0.f}, {sw, sh}, {0.f, sh}};
        for (int q = 0; q < 4; ++q) {
            const sf::Vector2f c = corners[q];
            sparks.append(sf::Vertex(pos + sf::Vector2f(c.x * std::cos(a) - c.y * std::sin(a),
                                                        c.x * std::sin(a) + c.y * std::cos(a)),
                                     sf::Color(255, 255, 255, static_cast<sf::Uint8>(255 - k * 12)), tcs[q]));
        }
    }
    sf::RenderStates ss(&spark);
    ss.blendMode = sf::BlendAdd;
    rt.draw(sparks, ss);
    // The keyboard help card as the race shows it before the start.
    rt.setView(rt.getDefaultView());
    sf::Sprite k(keys);
    centre(k);
    k.setPosition(400.f, 450.f);
    rt.draw(k);
    rt.display();
    const std::string path = out + "/preview_scene_" + theme + ".png";
    ok = rt.getTexture().copyToImage().saveToFile(path);
    std::cout << (ok ? "wrote " : "cannot write ") << path << "\n";
    return ok;
}

}  // namespace

bool previewShaders(const std::string& res, const std::string& out) {
    if (!sf::Shader::isAvailable()) {
        std::cerr << "shaders are not available\n";
        return false;
    }
    sf::Font font;
    sf::Texture cpDay, cpNight, maskDay, maskNight, bgNight, pods[4];
    sf::Shader flash, shield, impact, meter;
    const std::string tx = res + "/textures/";
    const std::string sh = res + "/shaders/";
    bool ok = font.loadFromFile(res + "/fonts/monofonto.ttf") &&
              cpDay.loadFromFile(tx + "checkpoint_base-default.png") &&
              cpNight.loadFromFile(tx + "checkpoint_base-night.png") &&
              maskDay.loadFromFile(tx + "checkpoint_flash_mask-default.png") &&
              maskNight.loadFromFile(tx + "checkpoint_flash_mask-night.png") &&
              bgNight.loadFromFile(tx + "background-night.png");
    const char* podNames[4] = {"ship_1_1", "ship_1_2", "ship_2_1", "ship_2_2"};
    for (int i = 0; i < 4; ++i) ok = ok && pods[i].loadFromFile(tx + podNames[i] + "-night.png");
    ok = ok && flash.loadFromFile(sh + "fscheckpointflash.h", sf::Shader::Fragment) &&
         shield.loadFromFile(sh + "fsshield.h", sf::Shader::Fragment) &&
         impact.loadFromFile(sh + "fsshieldimpact.h", sf::Shader::Fragment) &&
         meter.loadFromFile(sh + "fstimeoutmeter.h", sf::Shader::Fragment);
    if (!ok) {
        std::cerr << "cannot load the resources for the preview\n";
        return false;
    }
    for (sf::Texture* t : {&cpDay, &cpNight, &bgNight, &pods[0], &pods[1], &pods[2], &pods[3]}) {
        t->setSmooth(true);
        t->generateMipmap();
    }

    // Checkpoint flash: one row per mode, over the day and the night pad.
    {
        Sheet s;
        s.font = &font;
        if (!s.create(6, 4, 260)) return false;
        s.rt.clear(sf::Color(30, 30, 36));
        sf::RenderTexture canvas;
        if (!canvas.create(512, 512)) return false;
        flash.setUniform("resolution", sf::Vector2f(512.f, 512.f));
        const float times[6] = {0.03f, 0.2f, 0.5f, 1.0f, 1.6f, 2.3f};
        struct Row {
            int mode;
            sf::Color colour;
            bool night;
            const char* name;
        } rows[4] = {{1, kRaceFlash[0], true, "mode 1"},
                     {0, kRaceFlash[1], true, "mode 0"},
                     {2, kPod[3], true, "mode 2"},
                     {1, kRaceFlash[0], false, "mode 1 day"}};
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 6; ++i) {
                const Row& row = rows[j];
                flash.setUniform("texture", row.night ? maskNight : maskDay);
                flash.setUniform("time", times[i]);
                flash.setUniform("color", sf::Glsl::Vec4(row.colour));
                flash.setUniform("mode", row.mode);
                canvas.clear(sf::Color::Transparent);
                sf::RectangleShape rect(sf::Vector2f(512.f, 512.f));
                canvas.draw(rect, &flash);
                canvas.display();
                s.rt.setView(s.worldView(i, j, 700.f));
                sf::Sprite bg(bgNight);
                centre(bg);
                bg.setScale(10.f / 3.f, 10.f / 3.f);
                if (!row.night) bg.setColor(sf::Color(255, 230, 190));
                s.rt.draw(bg);
                sf::Sprite cp(row.night ? cpNight : cpDay);
                centre(cp);
                s.rt.draw(cp);
                sf::Sprite fl(canvas.getTexture());
                centre(fl);
                fl.setScale(1.2f, 1.2f);
                s.rt.draw(fl, sf::BlendAdd);
                s.label(i, j, std::string(row.name) + " t=" + std::to_string(times[i]).substr(0, 4));
            }
        ok = s.save(out + "/preview_checkpointflash.png") && ok;
    }

    // Shield over the four pods, and impacts at several ages, angles and strengths.
    const unsigned side = static_cast<unsigned>(2.f * (400.f / kUnits) + 75.f);
    sf::RenderTexture canvas;
    if (!canvas.create(side, side)) return false;
    const float half = side * 0.5f;
    sf::CircleShape circle(half, 30);
    circle.setOrigin(half, half);
    circle.setPosition(half, half);
    circle.setFillColor(sf::Color::Transparent);
    shield.setUniform("resolution", sf::Vector2f(static_cast<float>(side), static_cast<float>(side)));
    impact.setUniform("resolution", sf::Vector2f(static_cast<float>(side), static_cast<float>(side)));
    auto drawPodWith = [&](Sheet& s, int i, int j, int pod, float podAngle,
                           const std::function<void()>& fillCanvas) {
        canvas.clear(sf::Color::Transparent);
        fillCanvas();
        canvas.display();
        s.rt.setView(s.worldView(i, j, 520.f));
        sf::Sprite bg(bgNight);
        centre(bg);
        bg.setScale(10.f / 3.f, 10.f / 3.f);
        s.rt.draw(bg);
        sf::Sprite ps(pods[pod]);
        centre(ps);
        ps.setRotation(podAngle);
        s.rt.draw(ps);
        sf::Sprite sp(canvas.getTexture());
        centre(sp);
        s.rt.draw(sp, sf::BlendAdd);
    };
    {
        Sheet s;
        s.font = &font;
        if (!s.create(6, 4, 220)) return false;
        s.rt.clear(sf::Color(30, 30, 36));
        const float times[6] = {2.98f, 2.85f, 2.2f, 1.2f, 0.6f, 0.15f};
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 6; ++i) {
                drawPodWith(s, i, j, j, 30.f * j, [&] {
                    shield.setUniform("time", times[i]);
                    shield.setUniform("color", sf::Glsl::Vec4(kPod[j]));
                    canvas.draw(circle, &shield);
                });
                s.label(i, j, "shield t=" + std::to_string(times[i]).substr(0, 4));
            }
        ok = s.save(out + "/preview_shield.png") && ok;
    }
    {
        Sheet s;
        s.font = &font;
        if (!s.create(6, 4, 220)) return false;
        s.rt.clear(sf::Color(30, 30, 36));
        const float ages[6] = {0.02f, 0.08f, 0.2f, 0.4f, 0.65f, 0.9f};
        // Rows: strong hit from world +y (up on screen), weak hit from +x,
        // strong hit at 225 degrees, and the shield with an impact together.
        const float angles[4] = {90.f, 0.f, 225.f, 135.f};
        const float factors[4] = {1.f, 0.25f, 0.7f, 0.8f};
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 6; ++i) {
                drawPodWith(s, i, j, j, 0.f, [&] {
                    sf::RenderStates add(sf::BlendAdd);
                    if (j == 3) {
                        shield.setUniform("time", 2.0f);
                        shield.setUniform("color", sf::Glsl::Vec4(kPod[j]));
                        add.shader = &shield;
                        canvas.draw(circle, add);
                    }
                    impact.setUniform("time", ages[i]);
                    impact.setUniform("factor", factors[j]);
                    impact.setUniform("impactAngle", angles[j]);
                    impact.setUniform("color", sf::Glsl::Vec4(sf::Color::White));
                    add.shader = &impact;
                    canvas.draw(circle, add);
                });
                s.label(i, j, std::to_string(static_cast<int>(angles[j])) + "deg f=" +
                                  std::to_string(factors[j]).substr(0, 4) + " t=" + std::to_string(ages[i]).substr(0, 4));
            }
        ok = s.save(out + "/preview_shieldimpact.png") && ok;
    }

    // Timeout meters: wide, tall and square quads at several levels.
    {
        sf::RenderTexture rt;
        if (!rt.create(760, 300)) return false;
        rt.clear(sf::Color(40, 44, 56));
        sf::Texture white;
        sf::Image px;
        px.create(4, 4, sf::Color::White);
        white.loadFromImage(px);
        const float levels[6] = {1.f, 0.8f, 0.55f, 0.3f, 0.15f, 0.04f};
        for (int i = 0; i < 6; ++i) {
            for (int k = 0; k < 3; ++k) {
                sf::Sprite q(white);
                const sf::Vector2f size = k == 0 ? sf::Vector2f(110.f, 18.f) : k == 1 ? sf::Vector2f(18.f, 90.f)
                                                                                     : sf::Vector2f(64.f, 64.f);
                q.setScale(size.x / 4.f, size.y / 4.f);
                q.setPosition(14.f + i * 124.f + (k == 0 ? 0.f : k == 1 ? 0.f : 40.f), k == 0 ? 30.f : 80.f);
                meter.setUniform("threshold", levels[i]);
                meter.setUniform("color", sf::Glsl::Vec4(i % 2 ? kRaceFlash[1] : kRaceFlash[0]));
                rt.draw(q, &meter);
            }
            sf::Text t("threshold " + std::to_string(levels[i]).substr(0, 4), font, 12);
            t.setPosition(14.f + i * 124.f, 8.f);
            rt.draw(t);
        }
        rt.display();
        ok = rt.getTexture().copyToImage().saveToFile(out + "/preview_timeoutmeter.png") && ok;
        std::cout << "wrote " << out << "/preview_timeoutmeter.png\n";
    }
    ok = previewScene(res, out, "default") && ok;
    ok = previewScene(res, out, "night") && ok;
    return ok;
}

}  // namespace artgen
