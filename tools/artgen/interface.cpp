// Panel art, the checkpoint cursor and the keyboard help cards.
#include "art.h"

#include <string>

namespace artgen {

namespace {

const Col kGlassTop = rgb(34, 44, 66);
const Col kGlassBottom = rgb(14, 18, 30);
const Col kEdge = rgb(170, 190, 215);
const Col kAccent = rgb(105, 211, 244);

// A dark glass panel with a light edge, for any distance field.
template <class F>
void glassPanel(Canvas& cv, F sdf, float top, float bottom, float alpha = 0.9f) {
    cv.paint([&](V2 p) {
        const float d = sdf(p);
        const float cov = cover(d);
        if (cov <= 0.f) return Col{};
        const float t = clamp01((p.y - top) / std::max(1.f, bottom - top));
        Col c = mix(kGlassTop, kGlassBottom, t);
        // Faint scan lines give the glass some texture.
        c = mul(c, 1.f - 0.06f * (static_cast<int>(p.y) % 3 == 0));
        const float edge = cover(d + 2.5f);
        c = mix(kEdge, c, edge);
        return withA(c, cov * (edge > 0.99f ? alpha : 1.f));
    });
    // Top sheen.
    cv.paint([&](V2 p) {
        const float d = sdf(p);
        if (d > -3.f) return Col{};
        const float t = clamp01((p.y - top) / std::max(1.f, bottom - top));
        return withA(rgb(255, 255, 255), 0.10f * (1.f - smooth(0.f, 0.45f, t)));
    });
}

Canvas gameModeBadge() {
    const int W = 320, H = 96;
    Canvas cv(W, H);
    const std::vector<V2> poly{{-10.f, -10.f}, {W + 10.f, -10.f}, {W - 6.f, 6.f}, {W - 42.f, H - 6.f},
                               {42.f, H - 6.f}, {6.f, 6.f}};
    auto sdf = [&](V2 p) { return sdPolygon(poly, p) - 4.f; };
    // Clip to the canvas so the top edge stays open: it hangs from the screen's top.
    glassPanel(cv, [&](V2 p) { return std::max(sdf(p), -p.y); }, 0.f, static_cast<float>(H));
    // Accent line under the title and slashes at the sides.
    cv.paint([&](V2 p) {
        const float inner = sdPolygon(poly, p) + 12.f;
        float d = std::fabs(inner) - 1.5f;
        d = std::max(d, p.y < 30.f ? 10.f : -10.f);
        return withA(kAccent, cover(d) * 0.9f);
    });
    for (int s = 0; s < 3; ++s)
        for (int side : {0, 1}) {
            const float x = side == 0 ? 46.f + s * 12.f : W - 46.f - s * 12.f;
            const float dir = side == 0 ? 1.f : -1.f;
            cv.paint([&](V2 p) {
                const float d = sdBar(p, V2{x, 14.f}, V2{x + dir * 10.f, 30.f}, 2.5f, 0.f);
                return withA(s == 0 ? kAccent : kEdge, cover(d) * (0.9f - s * 0.25f));
            });
        }
    return cv;
}

// The team-name plate and the mask of the part the renderer tints with the team colour.
void teamPlate(Canvas& plate, Canvas& mask) {
    const float W = static_cast<float>(plate.width()), H = static_cast<float>(plate.height());
    const std::vector<V2> poly{{14.f, 1.f}, {W - 1.f, 1.f}, {W - 15.f, H - 1.f}, {1.f, H - 1.f}};
    auto sdf = [&](V2 p) { return sdPolygon(poly, p); };
    glassPanel(plate, sdf, 0.f, H);
    auto tab = [&](V2 p) {
        const std::vector<V2> t{{14.f, 1.f}, {44.f, 1.f}, {30.f, H - 1.f}, {1.f, H - 1.f}};
        return std::max(sdPolygon(t, p), sdf(p));
    };
    auto stripe = [&](V2 p) {
        const std::vector<V2> t{{52.f, 1.f}, {60.f, 1.f}, {46.f, H - 1.f}, {38.f, H - 1.f}};
        return std::max(sdPolygon(t, p), sdf(p));
    };
    auto underline = [&](V2 p) { return std::max(sdBox(p, V2{W * 0.5f + 20.f, H - 6.f}, V2{W * 0.5f - 40.f, 1.5f}), sdf(p) + 2.f); };
    for (Canvas* cv : {&plate, &mask}) {
        const bool isMask = cv == &mask;
        const Col tint = isMask ? rgb(255, 255, 255) : rgb(150, 156, 168);
        cv->paint([&](V2 p) {
            float a = std::max(cover(tab(p)), cover(stripe(p)));
            a = std::max(a, cover(underline(p)) * 0.9f);
            Col c = tint;
            if (!isMask) c = mul(c, 1.f - 0.3f * clamp01(p.y / H));
            return withA(c, a);
        });
    }
}

Canvas cursorArrow() {
    const int S = 96;
    Canvas cv(S, S);
    const std::vector<V2> arrow{{88.f, 48.f}, {20.f, 14.f}, {36.f, 48.f}, {20.f, 82.f}};
    auto sdf = [&](V2 p) { return sdPolygon(arrow, p) - 1.5f; };
    cv.paint([&](V2 p) {  // dark halo so the arrow reads on bright ground
        return withA(rgb(0, 0, 0), 0.55f * (1.f - smooth(0.f, 8.f, sdf(p))));
    });
    cv.paint([&](V2 p) {
        const float d = sdf(p);
        const float cov = cover(d);
        if (cov <= 0.f) return Col{};
        const float shade = 0.8f + 0.2f * (1.f - p.y / S);
        Col c = mix(rgb(60, 66, 80), rgb(255, 255, 255), cover(d + 4.f));
        c = mul(c, shade);
        return withA(c, cov);
    });
    return cv;
}

// One key cap; `label` masks are drawn on its face.
void keyCap(Canvas& cv, V2 c, float size, const Mask& label, Col accent) {
    const V2 half{size * 0.5f, size * 0.5f};
    cv.paint([&](V2 p) {  // drop shadow
        return withA(rgb(0, 0, 0), 0.5f * (1.f - smooth(-2.f, 7.f, sdBox(p, c + V2{0.f, 5.f}, half, 10.f))));
    });
    cv.paint([&](V2 p) {
        const float outer = sdBox(p, c, half, 10.f);
        const float cov = cover(outer);
        if (cov <= 0.f) return Col{};
        const float face = sdBox(p, c - V2{0.f, 3.f}, half - V2{8.f, 9.f}, 8.f);
        const float t = clamp01((p.y - (c.y - half.y)) / size);
        Col side = mix(rgb(170, 176, 186), rgb(96, 102, 114), t);
        Col top = mix(rgb(246, 248, 252), rgb(212, 216, 224), t);
        Col col = mix(side, top, cover(face));
        // Accent glow ring along the cap edge.
        col = mix(col, accent, cover(std::fabs(outer + 1.5f) - 1.5f) * 0.85f);
        return withA(col, cov);
    });
    stampMask(cv, label, c - V2{0.f, 3.f}, [](V2) { return rgb(30, 36, 48); });
}

float arrowGlyph(V2 p, V2 c, float deg) {
    const V2 q = rot(p - c, -deg);
    const float head = sdPolygon({{16.f, 0.f}, {-2.f, -14.f}, {-2.f, 14.f}}, q);
    const float stem = sdBox(q, V2{-10.f, 0.f}, V2{9.f, 4.5f});
    return std::min(head, stem);
}

Mask arrowMask(float deg) {
    Mask m;
    m.w = m.h = 48;
    m.v.resize(48 * 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            m.v[static_cast<size_t>(y) * 48 + x] = cover(arrowGlyph(V2{x + 0.5f, y + 0.5f}, V2{24.f, 24.f}, deg));
    return m;
}

struct KeyInfo {
    Mask label;
    std::string action;
};

Canvas keyCard(Context& ctx, const std::string& title, Col accent, KeyInfo up, KeyInfo left, KeyInfo down,
               KeyInfo right) {
    const int W = 480, H = 340;
    Canvas cv(W, H);
    auto panel = [&](V2 p) { return sdBox(p, V2{W * 0.5f, H * 0.5f}, V2{W * 0.5f - 4.f, H * 0.5f - 4.f}, 18.f); };
    glassPanel(cv, panel, 0.f, static_cast<float>(H), 0.88f);
    cv.paint([&](V2 p) { return withA(accent, cover(std::fabs(panel(p) + 1.5f) - 1.5f)); });
    // Title with a glow in the player's colour.
    Mask t = textMask(ctx.font, title, 34, 10, 1.f);
    Mask tg = t;
    tg.blur(3);
    stampMask(cv, tg, V2{W * 0.5f, 38.f}, [&](V2) { return withA(accent, 0.9f); });
    stampMask(cv, t, V2{W * 0.5f, 38.f}, [&](V2) { return mix(rgb(255, 255, 255), accent, 0.25f); });
    cv.paint([&](V2 p) {
        return withA(accent, cover(sdBox(p, V2{W * 0.5f, 66.f}, V2{110.f, 1.f})) * 0.7f);
    });
    const float k = 78.f, gap = 10.f;
    const V2 upC{W * 0.5f, 130.f}, downC{W * 0.5f, 130.f + k + gap};
    const V2 leftC = downC - V2{k + gap, 0.f}, rightC = downC + V2{k + gap, 0.f};
    keyCap(cv, upC, k, up.label, accent);
    keyCap(cv, leftC, k, left.label, accent);
    keyCap(cv, downC, k, down.label, accent);
    keyCap(cv, rightC, k, right.label, accent);
    auto caption = [&](const std::string& s, V2 at) {
        Mask m = textMask(ctx.font, s, 19, 4, 0.4f, 0.95f);
        stampMask(cv, m, at, [](V2) { return rgb(235, 240, 248); });
    };
    caption(up.action, V2{W * 0.5f + k * 0.5f + 62.f, upC.y});
    caption(left.action, V2{leftC.x - k * 0.5f - 44.f, leftC.y});
    caption(right.action, V2{rightC.x + k * 0.5f + 44.f, rightC.y});
    caption(down.action, V2{downC.x, downC.y + k * 0.5f + 24.f});
    return cv;
}

}  // namespace

void makeInterface(Context& ctx) {
    ctx.write(gameModeBadge(), "textures/ui_gamemode.png");
    Canvas plate(256, 40), mask(256, 40);
    teamPlate(plate, mask);
    ctx.write(plate, "textures/ui_teamname.png");
    ctx.write(mask, "textures/ui_teamname_mask.png");
    ctx.write(cursorArrow(), "textures/cursor.png");
}

void makeKeys(Context& ctx) {
    const Col p1 = rgb(105, 211, 244), p2 = rgb(255, 150, 60);
    ctx.write(keyCard(ctx, "PLAYER 1", p1, {arrowMask(-90.f), "BOOST"}, {arrowMask(180.f), "TURN\nLEFT"},
                      {arrowMask(90.f), "SHIELD"}, {arrowMask(0.f), "TURN\nRIGHT"}),
              "textures/keys_p1.png");
    auto letters = [&](const std::string& s, unsigned size) { return textMask(ctx.font, s, size, 3, 0.8f); };
    ctx.write(keyCard(ctx, "PLAYER 2", p2, {letters("W/Z", 26), "BOOST"}, {letters("A/Q", 26), "TURN\nLEFT"},
                      {letters("S", 36), "SHIELD"}, {letters("D", 36), "TURN\nRIGHT"}),
              "textures/keys_p2.png");
}

}  // namespace artgen
