// Checkpoint pads, their flash masks and the race field backgrounds.
#include "painter.h"

#include <string>

namespace artgen {

namespace {

const char* suffix(Theme th) { return th == Theme::Day ? "-default" : "-night"; }

// Pad features, in pixels of the 512 texture (centre 256). The flash is drawn
// 1.2 times larger than the pad, so the mask places them at radius / 1.2.
constexpr float kPadEdge = 246.f;
constexpr float kOuterRing = 228.f;
constexpr float kLightStrip = 184.f;
constexpr float kHexLimit = 168.f;
constexpr float kDashRing = 126.f;
constexpr float kCore = 56.f;
constexpr float kFlashScale = 1.2f;

float hexGrid(V2 p, float size) {
    // Distance to the nearest edge of a flat-top hexagonal tiling (circumradius size):
    // the centres form two offset rectangular lattices.
    const V2 s{1.5f * size, 1.7320508f * size};
    auto nearest = [&](V2 off) {
        const V2 a = p - off;
        return a - V2{std::round(a.x / (2.f * s.x)) * 2.f * s.x, std::round(a.y / s.y) * s.y};
    };
    const V2 a = nearest(V2{0.f, 0.f});
    const V2 b = nearest(V2{s.x, s.y * 0.5f});
    const V2 q = dot(a, a) < dot(b, b) ? a : b;
    const V2 aq{std::fabs(q.x), std::fabs(q.y)};
    return size * 0.8660254f - std::max(aq.y, aq.x * 0.8660254f + aq.y * 0.5f);
}

}  // namespace

void drawCheckpoint(Canvas& cv, Theme th, V2 c, float scale) {
    Painter p{cv, c, scale, th};  // local unit = one texture pixel times scale
    const bool day = th == Theme::Day;
    const Col plate = day ? rgb(196, 202, 210) : rgb(34, 38, 58);
    const Col metal = day ? rgb(228, 232, 238) : rgb(92, 100, 128);
    const Col lightCol = day ? rgb(40, 170, 230) : rgb(80, 240, 255);
    auto rr = [](V2 q) { return len(q); };

    // Ground contact: shadow by day, light spill at dusk.
    p.flat([&](V2 q) { return rr(q) - 256.f; },
           [&](V2 q) {
               const float k = 1.f - smooth(200.f, 256.f, rr(q));
               return withA(day ? rgb(20, 24, 30) : lightCol, (day ? 0.35f : 0.3f) * k * k);
           }, 260.f);
    // Base plate with scuffed noise.
    p.solid([&](V2 q) { return rr(q) - kPadEdge; }, Surface{plate, 6.f, 1.f, 0.2f, 12.f}, 260.f);
    p.flat([&](V2 q) { return rr(q) - kPadEdge + 3.f; },
           [&](V2 q) {
               const float n = fbm(q.x / 22.f, q.y / 22.f, 77u, 4);
               return withA(day ? rgb(90, 90, 100) : rgb(0, 0, 10), 0.14f * smooth(0.5f, 0.8f, n));
           }, 260.f);
    // Hexagon floor inside the light strip.
    p.lines([&](V2 q) { return rr(q) - kHexLimit; }, [&](V2 q) { return hexGrid(q, 26.f); }, 2.f,
            withA(day ? rgb(120, 128, 140) : rgb(70, 90, 140), 0.8f), 260.f);
    // Dashed ring.
    p.lines([&](V2 q) { return rr(q) - 400.f; },
            [&](V2 q) {
                const float a = angleDeg(q) + 180.f;
                const float f = std::fmod(a, 15.f);
                return std::fabs(rr(q) - kDashRing) + (f < 9.f ? 0.f : 100.f);
            },
            6.f, withA(day ? rgb(255, 255, 255) : lightCol, day ? 0.85f : 0.7f), 260.f);
    // Outer metal ring with segment notches.
    p.solid([&](V2 q) { return std::fabs(rr(q) - kOuterRing) - 13.f; }, Surface{metal, 6.f, 1.5f, 0.6f, 30.f}, 260.f);
    p.lines([&](V2 q) { return std::fabs(rr(q) - kOuterRing) - 13.f; },
            [&](V2 q) {
                float d = 1e9f;
                for (int i = 0; i < 16; ++i) d = std::min(d, radialLine(q, 11.25f + i * 22.5f));
                return d;
            },
            3.f, withA(day ? rgb(90, 96, 110) : rgb(20, 24, 40), 0.9f), 260.f);
    // Light strip and beacons between the strip and the outer ring.
    p.flat([&](V2 q) { return std::fabs(rr(q) - kLightStrip) - 4.f; },
           [&](V2) { return mix(lightCol, rgb(255, 255, 255), day ? 0.2f : 0.45f); }, 260.f);
    for (int i = 0; i < 8; ++i) {
        const V2 at = rot(V2{(kLightStrip + kOuterRing - 13.f) * 0.5f, 0.f}, i * 45.f);
        const V2 dir = rot(V2{1.f, 0.f}, i * 45.f);
        p.solid([&](V2 q) { return sdBar(q, at - dir * 10.f, at + dir * 10.f, 7.f, 0.f) - 2.f; },
                Surface{day ? rgb(255, 190, 40) : rgb(255, 120, 200), 3.f, 1.f, 0.5f, 30.f}, 260.f);
        if (!day) p.light(at, 26.f, rgb(255, 120, 200), 0.45f, 260.f);
    }
    if (!day) p.light(V2{}, 210.f, lightCol, 0.12f, 260.f);
    // Central emitter.
    p.solid([&](V2 q) { return rr(q) - kCore; }, Surface{metal, 8.f, 1.5f, 0.6f, 30.f}, 260.f);
    p.flat([&](V2 q) { return rr(q) - (kCore - 14.f); },
           [&](V2 q) {
               Col g = litDome(day ? rgb(30, 120, 170) : rgb(20, 150, 190), q, kCore - 14.f, 1.2f, th);
               return addRgb(g, lightCol, (1.f - smooth(0.f, kCore - 14.f, rr(q))) * (day ? 0.3f : 0.8f));
           }, 260.f);
    if (!day) p.light(V2{}, 70.f, lightCol, 0.6f, 260.f);
}

namespace {

// Channels of the flash mask: red = the pad's line work, green = a soft fill
// with a halo past the rim, blue = eight sectors for sweeping effects.
Canvas flashMask(Theme th) {
    Canvas cv(512, 512, Col{0.f, 0.f, 0.f, 0.f});
    const float k = 1.f / kFlashScale;
    const float halo = th == Theme::Day ? 0.8f : 1.f;
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            const V2 q{x + 0.5f - 256.f, y + 0.5f - 256.f};
            const float r = len(q);
            float red = 0.f;
            red = std::max(red, cover(std::fabs(r - kOuterRing * k) - 9.f * k, 1.5f));
            red = std::max(red, cover(std::fabs(r - kLightStrip * k) - 4.f * k, 1.5f));
            red = std::max(red, cover(std::fabs(r - kDashRing * k) - 3.f * k, 1.5f) * 0.8f);
            red = std::max(red, cover(r - kCore * k, 1.5f));
            if (r < kHexLimit * k)
                red = std::max(red, 0.45f * cover(std::fabs(hexGrid(q * kFlashScale, 26.f) * k) - 1.5f, 1.5f));
            float green = (1.f - smooth(0.f, kPadEdge * k, r)) * 0.7f;
            green = std::max(green, halo * std::exp(-std::pow((r - 236.f) / 14.f, 2.f)));
            const float a = angleDeg(q) + 180.f;
            const float f = std::fmod(a, 45.f) / 45.f;
            float blue = smooth(0.f, 0.1f, f) * smooth(1.f, 0.6f, f);
            blue *= smooth(kCore * k, kCore * k + 10.f, r) * (1.f - smooth(kOuterRing * k, kOuterRing * k + 12.f, r));
            const float alpha = std::max(red, std::max(green, blue));
            cv.at(x, y) = Col{red, green, blue, alpha};
        }
    return cv;
}

// Terraced desert: a broad height field cut into strata, like a canyon
// floor seen from high above, with wind ripples on the low ground.
float fieldHeight(V2 p, float* level) {
    const V2 w{fbm(p.x / 380.f, p.y / 380.f, 21u, 3), fbm(p.x / 380.f + 9.f, p.y / 380.f, 22u, 3)};
    const float broad = fbm(p.x / 640.f + w.x * 1.2f, p.y / 640.f + w.y * 1.2f, 11u, 5);
    const float t = smooth(0.38f, 0.78f, broad) * 4.f;
    const float step = std::floor(t);
    const float terraced = (step + smooth(0.7f, 0.95f, t - step)) / 4.f;
    if (level) *level = terraced;
    const float low = 1.f - smooth(0.f, 0.3f, terraced);
    const float ripples = std::sin((p.x * 0.85f + p.y * 0.45f) / 11.f + fbm(p.x / 90.f, p.y / 90.f, 23u, 2) * 9.f);
    return terraced * 0.3f + ripples * 0.003f * low + 0.006f * fbm(p.x / 14.f, p.y / 14.f, 16u, 2);
}

Canvas background(Theme th) {
    const int W = 2048, H = 1152;
    const bool day = th == Theme::Day;
    Canvas cv(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const V2 p{x + 0.5f, y + 0.5f};
            float level = 0.f;
            const float h = fieldHeight(p, &level);
            const float hx = fieldHeight(p + V2{1.5f, 0.f}, nullptr);
            const float hy = fieldHeight(p + V2{0.f, 1.5f}, nullptr);
            const float sx = (hx - h) * 140.f, sy = (hy - h) * 140.f;
            // Light from the upper left by day, low from the right at dusk.
            const float nl = 1.f / std::sqrt(sx * sx + sy * sy + 1.f);
            const float lx = day ? -0.5f : 0.8f, ly = day ? -0.6f : -0.25f, lz = day ? 0.62f : 0.55f;
            const float lambert = std::max(0.f, (-sx * lx - sy * ly + lz) * nl) ;
            // Each stratum has its own tint; the lowest ground is pale sand.
            const float band = std::floor(level * 4.f + 0.001f);
            const Col strata[5] = {rgb(226, 200, 156), rgb(212, 170, 122), rgb(198, 150, 108), rgb(214, 176, 130),
                                   rgb(190, 140, 104)};
            const Col dusk[5] = {rgb(70, 60, 112), rgb(84, 62, 116), rgb(96, 66, 118), rgb(80, 64, 120),
                                 rgb(104, 70, 120)};
            const int bi = std::min(4, std::max(0, static_cast<int>(band)));
            Col c = day ? strata[bi] : dusk[bi];
            c = mul(c, 0.94f + 0.12f * fbm(p.x / 60.f, p.y / 60.f, 31u, 3));
            c = mul(c, (day ? 0.45f : 0.4f) + lambert * (day ? 0.75f : 0.9f));
            if (!day) {
                // Dusk sky light from the right edge.
                c = addRgb(c, rgb(255, 110, 90), 0.12f * smooth(0.2f, 1.f, p.x / W));
            }
            c.a = 1.f;
            cv.at(x, y) = c;
        }
    // Survey grid: large squares with finer ticks, so motion reads at any zoom.
    const Col gridCol = day ? rgb(110, 80, 50) : rgb(90, 220, 255);
    cv.paint([&](V2 p) {
        auto line = [](float v, float step) {
            const float f = std::fmod(v, step);
            return std::min(f, step - f);
        };
        const float major = std::min(line(p.x, 192.f), line(p.y, 192.f));
        const float minorX = line(p.x, 48.f), minorY = line(p.y, 48.f);
        float a = cover(major - 1.f) * (day ? 0.16f : 0.22f);
        // Crosses at the minor intersections.
        if (minorX < 6.f && minorY < 6.f) a = std::max(a, cover(std::min(minorX, minorY) - 0.75f) * (day ? 0.14f : 0.2f));
        return withA(gridCol, a);
    });
    // Boundary kerb round the field.
    cv.paint([&](V2 p) {
        const float inset = 22.f, half = 8.f;
        const float d = std::fabs(sdBox(p, V2{W * 0.5f, H * 0.5f}, V2{W * 0.5f - inset, H * 0.5f - inset})) - half;
        const float cov = cover(d);
        if (cov <= 0.f) return Col{};
        const float along = (std::fabs(p.x - W * 0.5f) > W * 0.5f - inset - half - 1.f) ? p.y : p.x;
        const bool odd = static_cast<int>(std::floor(along / 40.f)) % 2 != 0;
        Col col = day ? (odd ? rgb(220, 40, 40) : rgb(245, 245, 245)) : (odd ? rgb(255, 70, 190) : rgb(60, 230, 255));
        return withA(col, cov * (day ? 0.9f : 0.85f));
    });
    if (!day) {
        // Light spill from the kerb lamps and scattered beacons on the dunes.
        Canvas glow(W, H);
        glow.paint([&](V2 p) {
            const float d = std::fabs(sdBox(p, V2{W * 0.5f, H * 0.5f}, V2{W * 0.5f - 22.f, H * 0.5f - 22.f}));
            return withA(rgb(120, 160, 255), 0.5f * std::exp(-d / 14.f));
        });
        for (int i = 0; i < 26; ++i) {
            const V2 at{60.f + hash2(i, 1, 5u) * (W - 120.f), 60.f + hash2(i, 2, 5u) * (H - 120.f)};
            const Col bc = hash2(i, 3, 5u) < 0.5f ? rgb(255, 150, 60) : rgb(255, 90, 200);
            glow.paintRect(static_cast<int>(at.x) - 40, static_cast<int>(at.y) - 40, static_cast<int>(at.x) + 40,
                           static_cast<int>(at.y) + 40, [&](V2 p) {
                               const float d = len(p - at);
                               return withA(mix(rgb(255, 255, 255), bc, smooth(0.f, 4.f, d)),
                                            std::exp(-d * d / 90.f) + 0.25f * std::exp(-d / 12.f));
                           });
        }
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const Col g = glow.at(x, y);
                if (g.a > 0.f) cv.addGlow(x, y, withA(g, g.a * 0.8f));
            }
    }
    // Vignette keeps the eye on the middle of the field.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float dx = (x + 0.5f) / W - 0.5f, dy = (y + 0.5f) / H - 0.5f;
            const float v = 1.f - 0.45f * smooth(0.25f, 0.75f, std::sqrt(dx * dx + dy * dy) * 1.2f);
            Col& c = cv.at(x, y);
            c = mul(c, v);
            c.a = 1.f;
        }
    return cv;
}

}  // namespace

void makeCheckpoints(Context& ctx) {
    for (Theme th : {Theme::Day, Theme::Night}) {
        Canvas cv(512, 512);
        drawCheckpoint(cv, th, V2{256.f, 256.f}, 1.f);
        ctx.write(cv, std::string("textures/checkpoint_base") + suffix(th) + ".png");
        ctx.write(flashMask(th), std::string("textures/checkpoint_flash_mask") + suffix(th) + ".png");
    }
}

void makeBackgrounds(Context& ctx) {
    for (Theme th : {Theme::Day, Theme::Night})
        ctx.write(background(th), std::string("textures/background") + suffix(th) + ".png");
}

}  // namespace artgen
