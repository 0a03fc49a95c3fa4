// Title logo with its own slanted letterforms, and the three small badges.
#include "art.h"

#include <map>
#include <string>

namespace artgen {

namespace {

// Letterforms in a 0.7 x 1 box, y down; each is an outline minus an optional hole.
struct Glyph {
    std::vector<V2> outline;
    std::vector<V2> hole;
};

const std::map<char, Glyph>& glyphs() {
    static const std::map<char, Glyph> g{
        {'V', {{{0.f, 0.f}, {0.22f, 0.f}, {0.35f, 0.6f}, {0.48f, 0.f}, {0.7f, 0.f}, {0.46f, 1.f}, {0.24f, 1.f}}, {}}},
        {'U', {{{0.f, 0.f}, {0.22f, 0.f}, {0.22f, 0.7f}, {0.3f, 0.78f}, {0.48f, 0.78f}, {0.48f, 0.f}, {0.7f, 0.f},
                {0.7f, 1.f}, {0.2f, 1.f}, {0.f, 0.8f}}, {}}},
        {'Z', {{{0.f, 0.f}, {0.7f, 0.f}, {0.7f, 0.2f}, {0.31f, 0.78f}, {0.7f, 0.78f}, {0.7f, 1.f}, {0.f, 1.f},
                {0.f, 0.8f}, {0.39f, 0.22f}, {0.f, 0.22f}}, {}}},
        {'D', {{{0.f, 0.f}, {0.5f, 0.f}, {0.7f, 0.2f}, {0.7f, 0.8f}, {0.5f, 1.f}, {0.f, 1.f}},
               {{0.22f, 0.22f}, {0.42f, 0.22f}, {0.48f, 0.28f}, {0.48f, 0.72f}, {0.42f, 0.78f}, {0.22f, 0.78f}}}},
        {'E', {{{0.f, 0.f}, {0.7f, 0.f}, {0.7f, 0.2f}, {0.22f, 0.2f}, {0.22f, 0.4f}, {0.6f, 0.4f}, {0.6f, 0.6f},
                {0.22f, 0.6f}, {0.22f, 0.8f}, {0.7f, 0.8f}, {0.7f, 1.f}, {0.f, 1.f}}, {}}},
        {'R', {{{0.f, 0.f}, {0.52f, 0.f}, {0.7f, 0.18f}, {0.7f, 0.42f}, {0.58f, 0.54f}, {0.7f, 1.f}, {0.47f, 1.f},
                {0.37f, 0.6f}, {0.22f, 0.6f}, {0.22f, 1.f}, {0.f, 1.f}},
               {{0.22f, 0.2f}, {0.44f, 0.2f}, {0.48f, 0.24f}, {0.48f, 0.36f}, {0.44f, 0.4f}, {0.22f, 0.4f}}}},
    };
    return g;
}

constexpr float kSlant = 0.26f;
constexpr float kAdvance = 0.84f;

// Signed distance in pixels to a word set in the logo letters.
struct Word {
    std::string text;
    V2 origin;   // top-left of the first letter box
    float unit;  // letter height in pixels
    float operator()(V2 p) const {
        V2 u = (p - origin) * (1.f / unit);
        u.x -= (1.f - u.y) * kSlant;
        float d = 1e9f;
        for (size_t i = 0; i < text.size(); ++i) {
            auto it = glyphs().find(text[i]);
            if (it == glyphs().end()) continue;
            const V2 q = u - V2{kAdvance * static_cast<float>(i), 0.f};
            if (q.x < -0.5f || q.x > 1.2f) continue;
            float g = sdPolygon(it->second.outline, q);
            if (!it->second.hole.empty()) g = std::max(g, -sdPolygon(it->second.hole, q));
            d = std::min(d, g);
        }
        return d * unit;
    }
    float width() const { return (kAdvance * (text.size() - 1) + 0.7f + kSlant) * unit; }
};

// Chrome fill: bright sky on top, a hard horizon, dark ground rising to light.
Col chrome(float t) {
    if (t < 0.52f) return mix(rgb(250, 253, 255), rgb(120, 200, 240), smooth(0.f, 0.52f, t));
    return mix(rgb(20, 60, 120), rgb(170, 235, 255), smooth(0.52f, 1.f, t));
}

void drawWord(Canvas& cv, const Word& w, float outline, Col glowCol, bool chromeFill, Col flatFill) {
    cv.paint([&](V2 p) {
        const float d = w(p);
        const float g = std::exp(-std::max(0.f, d - outline) / (w.unit * 0.12f));
        return withA(glowCol, 0.55f * g * (d > 0.f ? 1.f : 0.f));
    });
    cv.paint([&](V2 p) {
        const float d = w(p);
        const float cov = cover(d - outline);
        if (cov <= 0.f) return Col{};
        Col c = rgb(8, 14, 30);
        const float inner = cover(d);
        if (inner > 0.f) {
            const float t = clamp01((p.y - w.origin.y) / w.unit);
            Col fill = chromeFill ? chrome(t) : mul(flatFill, 1.f - 0.25f * t);
            // Bevel: the edge facing the upper left catches light.
            const V2 gr = gradient(w, p);
            const float edge = 1.f - smooth(0.f, w.unit * 0.06f, -d);
            const float facing = clamp01(-(gr.x * -0.6f + gr.y * -0.8f));
            fill = addRgb(fill, rgb(255, 255, 255), edge * (0.5f - facing * 0.5f) * 0.8f);
            fill = mul(fill, 1.f - edge * facing * 0.35f);
            c = mix(c, fill, inner);
        }
        return withA(c, cov);
    });
}

Canvas titleLogo(Context& ctx) {
    const int W = 800, H = 250;
    Canvas cv(W, H);
    const Word main{"VUZUDER", V2{40.f, 46.f}, 92.f};
    const Word ur{"UR", V2{0.f, 0.f}, 60.f};
    // Speed streaks behind the word.
    for (int i = 0; i < 9; ++i) {
        const float y = 56.f + i * 9.5f + hash2(i, 0, 3u) * 4.f;
        const float x1 = 20.f + hash2(i, 1, 3u) * 160.f, x0 = x1 - 120.f - hash2(i, 2, 3u) * 140.f;
        cv.paint([&](V2 p) {
            if (p.x < x0 || p.x > x1) return Col{};
            const float t = (p.x - x0) / (x1 - x0);
            return withA(rgb(105, 211, 244), cover(std::fabs(p.y - y) - 1.2f) * t * 0.7f);
        });
    }
    // Underline swoosh.
    cv.paint([&](V2 p) {
        const float y = 164.f - (p.x - 40.f) * 0.02f;
        const float thick = mixf(1.f, 5.f, smooth(40.f, 600.f, p.x)) * (1.f - smooth(700.f, 760.f, p.x));
        const float d = std::fabs(p.y - y) - thick;
        return withA(mix(rgb(105, 211, 244), rgb(255, 255, 255), smooth(200.f, 560.f, p.x)),
                     cover(d) * smooth(20.f, 120.f, p.x) * (1.f - smooth(700.f, 760.f, p.x)));
    });
    drawWord(cv, main, 7.f, rgb(60, 170, 255), true, Col{});
    // "UR" on a red racing plate to the right.
    const float px0 = main.origin.x + main.width() - 8.f, py0 = 60.f, pw = 150.f, ph = 84.f;
    const std::vector<V2> plate{{px0 + 30.f, py0}, {px0 + pw + 30.f, py0}, {px0 + pw, py0 + ph}, {px0, py0 + ph}};
    cv.paint([&](V2 p) {
        const float d = sdPolygon(plate, p);
        return withA(rgb(8, 14, 30), cover(d - 6.f));
    });
    cv.paint([&](V2 p) {
        const float d = sdPolygon(plate, p);
        const float cov = cover(d);
        if (cov <= 0.f) return Col{};
        const float t = clamp01((p.y - py0) / ph);
        Col c = mix(rgb(255, 70, 60), rgb(170, 10, 30), t);
        c = mix(rgb(255, 200, 190), c, smooth(0.f, 4.f, -d));
        return withA(c, cov);
    });
    Word urW = ur;
    urW.origin = V2{px0 + (pw - urW.width()) * 0.5f + 18.f, py0 + (ph - ur.unit) * 0.5f};
    drawWord(cv, urW, 0.f, rgb(255, 80, 60), false, rgb(255, 255, 255));
    // Tagline.
    Mask tag = textMask(ctx.font, "P O D   R A C I N G", 22, 4, 0.3f);
    stampMask(cv, tag, V2{400.f, 204.f}, [](V2) { return rgb(215, 232, 246); });
    return cv;
}

template <class Body>
Canvas badge(Col top, Col bottom, Col edge, Body body) {
    const int W = 100, H = 64;
    Canvas cv(W, H);
    auto sdf = [&](V2 p) { return sdBox(p, V2{W * 0.5f, H * 0.5f}, V2{W * 0.5f - 3.f, H * 0.5f - 3.f}, 10.f); };
    cv.paint([&](V2 p) { return withA(rgb(0, 0, 0), 0.45f * (1.f - smooth(-2.f, 3.f, sdf(p)))); });
    cv.paint([&](V2 p) {
        const float d = sdf(p);
        const float cov = cover(d);
        if (cov <= 0.f) return Col{};
        Col c = mix(top, bottom, clamp01(p.y / H));
        c = mix(edge, c, cover(d + 2.f));
        c = addRgb(c, rgb(255, 255, 255), 0.12f * (1.f - smooth(0.f, H * 0.5f, p.y)));
        return withA(c, cov);
    });
    body(cv);
    return cv;
}

}  // namespace

void makeLogos(Context& ctx) {
    ctx.write(titleLogo(ctx), "textures/logo.png");

    ctx.write(badge(rgb(40, 70, 140), rgb(18, 30, 70), rgb(150, 190, 255),
                    [&](Canvas& cv) {
                        Mask m = textMask(ctx.font, "C++", 30, 4, 1.2f);
                        Mask glow = m;
                        glow.blur(2);
                        stampMask(cv, glow, V2{50.f, 29.f}, [](V2) { return withA(rgb(120, 180, 255), 0.8f); });
                        stampMask(cv, m, V2{50.f, 29.f}, [](V2) { return rgb(255, 255, 255); });
                        Mask s = textMask(ctx.font, "17", 11, 2, 0.f);
                        stampMask(cv, s, V2{82.f, 50.f}, [](V2) { return rgb(170, 200, 255); });
                    }),
              "textures/logo_cpp.png");

    ctx.write(badge(rgb(70, 150, 60), rgb(26, 70, 30), rgb(180, 240, 160),
                    [&](Canvas& cv) {
                        // Three stacked bars: window, graphics, system.
                        for (int i = 0; i < 3; ++i)
                            cv.paint([&](V2 p) {
                                const float d = sdBox(p, V2{20.f, 30.f + i * 8.f}, V2{9.f - i * 2.f, 2.5f}, 1.5f);
                                return withA(rgb(230, 255, 220), cover(d) * (1.f - i * 0.2f));
                            });
                        Mask m = textMask(ctx.font, "SFML", 22, 3, 0.9f);
                        stampMask(cv, m, V2{60.f, 39.f}, [](V2) { return rgb(255, 255, 255); });
                        Mask s = textMask(ctx.font, "built on", 10, 2, 0.f);
                        stampMask(cv, s, V2{50.f, 15.f}, [](V2) { return rgb(200, 240, 190); });
                    }),
              "textures/logo_sfml.png");

    ctx.write(badge(rgb(60, 24, 40), rgb(20, 10, 22), rgb(255, 120, 120),
                    [&](Canvas& cv) {
                        Canvas pod(100, 64);
                        drawPod(pod, 2, Theme::Day, V2{24.f, 32.f}, 18.f);
                        cv.drawCanvas(pod, 0, 0);
                        const Word w{"VUR", V2{46.f, 22.f}, 20.f};
                        drawWord(cv, w, 2.f, rgb(255, 80, 60), true, Col{});
                    }),
              "textures/logo_tarvok.png");
}

}  // namespace artgen
