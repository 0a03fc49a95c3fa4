// The four pods, seen from above with the nose along +x.
#include "painter.h"

#include <filesystem>

#include <string>

namespace artgen {

namespace {

const Col kMetal = rgb(196, 202, 212);
const Col kDarkMetal = rgb(70, 76, 88);
const Col kGlass = rgb(18, 34, 62);
const Col kWhite = rgb(240, 244, 248);

Col hullTone(Col c, Theme th) { return th == Theme::Day ? c : saturate(mul(c, 0.78f), 1.1f); }
Col engineColour(int pod) { return pod < 2 ? rgb(140, 215, 255) : rgb(255, 150, 60); }

void underside(Painter& p, int pod) {
    // Day: soft contact shadow. Dusk: the hover pads light the ground in the team colour.
    const Col base = p.day() ? rgb(10, 14, 20) : kPodColours[pod];
    const float strength = p.day() ? 0.4f : 0.5f;
    p.flat([](V2 q) { return len(q) - 1.12f; },
           [&](V2 q) {
               // Strongest under the rim, where the hover pads are.
               const float r = len(q);
               const float k = (1.f - smooth(0.85f, 1.12f, r)) * mixf(0.45f, 1.f, smooth(0.3f, 0.9f, r));
               return withA(base, strength * k);
           },
           1.13f);
}

void canopy(Painter& p, V2 at, V2 radii) {
    p.solid([&](V2 q) { return sdEllipse(q, at, radii); },
            Surface{kDarkMetal, 3.f, 1.f, 0.3f, 16.f});
    const V2 inner{radii.x - 0.045f, radii.y - 0.045f};
    p.flat([&](V2 q) { return sdEllipse(q, at, inner); },
           [&](V2 q) {
               const V2 l{(q.x - at.x) / inner.x, (q.y - at.y) / inner.y};
               Col g = litDome(kGlass, l * 60.f, 60.f, 1.2f, p.th);
               // Sky reflection band across the glass.
               const float band = smooth(0.25f, 0.0f, std::fabs(l.x * 0.6f + l.y * 0.8f + 0.35f));
               g = addRgb(g, p.day() ? rgb(200, 230, 255) : rgb(255, 160, 210), band * 0.35f);
               return g;
           });
    if (!p.day()) p.light(at, std::max(radii.x, radii.y) * 0.8f, rgb(120, 200, 255), 0.25f);
}

void engineNozzle(Painter& p, int pod, V2 at, float radius) {
    p.solid([&](V2 q) { return sdCircle(q, at, radius); }, Surface{kMetal, 5.f, 1.2f, 0.6f, 30.f});
    p.flat([&](V2 q) { return sdCircle(q, at, radius * 0.62f); },
           [&](V2 q) {
               const float k = len(q - at) / (radius * 0.62f);
               return mix(kWhite, engineColour(pod), smooth(0.1f, 0.9f, k));
           });
    p.light(at, radius * (p.day() ? 1.1f : 1.6f), engineColour(pod), p.day() ? 0.35f : 0.8f);
}

void runningLight(Painter& p, V2 at, Col col) {
    p.flat([&](V2 q) { return sdCircle(q, at, 0.035f); }, [&](V2) { return mix(col, kWhite, 0.5f); });
    p.light(at, p.day() ? 0.06f : 0.11f, col, p.day() ? 0.4f : 0.9f);
}

// Pod 1 of team 1: a round saucer with a forward canopy and two rear engines.
void saucer(Painter& p) {
    const Col body = hullTone(kPodColours[0], p.th);
    p.solid([](V2 q) { return len(q) - 1.f; }, Surface{hullTone(kMetal, p.th), 10.f, 1.3f, 0.5f, 30.f});
    p.lines([](V2 q) { return len(q) - 1.f; },
            [](V2 q) {
                float d = 1e9f;
                for (int i = 0; i < 12; ++i) d = std::min(d, radialLine(q, 15.f + i * 30.f));
                return d + std::max(0.f, 0.9f - len(q)) * 10.f;
            },
            2.f, withA(kDarkMetal, 0.8f));
    p.solid([](V2 q) { return len(q) - 0.86f; }, Surface{body, 9.f, 1.4f, 0.35f, 20.f});
    p.lines([](V2 q) { return len(q) - 0.86f; },
            [](V2 q) {
                float d = ring(q, 0.62f, 0.f);
                for (int i = 0; i < 4; ++i)
                    d = std::min(d, radialLine(q, 45.f + i * 90.f) + std::max(0.f, 0.62f - len(q)) * 10.f);
                return d;
            },
            2.5f, withA(mul(body, 0.45f), 0.9f));
    // Racing chevron on the nose.
    p.flat([](V2 q) {
        const float outer = sdPolygon({{0.86f, 0.f}, {0.55f, 0.38f}, {0.45f, 0.38f}, {0.74f, 0.f},
                                       {0.45f, -0.38f}, {0.55f, -0.38f}}, q);
        return opInter(outer, len(q) - 0.85f);
    }, [&](V2) { return kWhite; });
    for (int s : {-1, 1}) {
        // Engine housings reach over the rim at the back.
        p.solid([&](V2 q) { return sdBox(q, V2{-0.66f, 0.46f * s}, V2{0.22f, 0.17f}, 0.1f); },
                Surface{hullTone(kDarkMetal, p.th), 6.f, 1.3f, 0.4f, 24.f});
        engineNozzle(p, 0, V2{-0.78f, 0.46f * s}, 0.13f);
        runningLight(p, V2{0.58f, 0.62f * s}, s < 0 ? rgb(255, 60, 60) : rgb(60, 255, 120));
    }
    canopy(p, V2{0.22f, 0.f}, V2{0.34f, 0.24f});
}

// Pod 2 of team 1: a hexagon with a central dome, three blades and two rear thrusters.
void hexPod(Painter& p) {
    const Col body = hullTone(kPodColours[1], p.th);
    auto hex = [](V2 q, float r) {
        std::vector<V2> v;
        for (int i = 0; i < 6; ++i) v.push_back(rot(V2{r, 0.f}, i * 60.f));
        return sdPolygon(v, q);
    };
    p.solid([&](V2 q) { return hex(q, 0.96f) - 0.04f; }, Surface{hullTone(kDarkMetal, p.th), 8.f, 1.2f, 0.4f, 20.f});
    p.solid([&](V2 q) { return hex(q, 0.84f) - 0.03f; }, Surface{body, 10.f, 1.5f, 0.35f, 20.f});
    // Armour plates split along the spokes.
    p.lines([&](V2 q) { return hex(q, 0.84f); },
            [](V2 q) {
                float d = 1e9f;
                for (int i = 0; i < 6; ++i) d = std::min(d, radialLine(q, 30.f + i * 60.f));
                return d;
            },
            2.5f, withA(mul(body, 0.4f), 0.9f));
    // Blades towards the nose and the two rear corners.
    for (float a : {0.f, 120.f, 240.f}) {
        const V2 dir = rot(V2{1.f, 0.f}, a);
        p.solid([&](V2 q) { return sdBar(q, dir * 0.32f, dir * 0.8f, 0.07f, 0.f); },
                Surface{kWhite, 4.f, 1.2f, 0.5f, 30.f});
    }
    for (int s : {-1, 1}) {
        p.solid([&](V2 q) { return sdBox(q, V2{0.1f, 0.66f * s}, V2{0.28f, 0.09f}, 0.08f); },
                Surface{hullTone(kMetal, p.th), 5.f, 1.2f, 0.5f, 30.f});
        engineNozzle(p, 1, rot(V2{0.86f, 0.f}, s > 0 ? 150.f : 210.f) + V2{0.05f, 0.f}, 0.15f);
        runningLight(p, V2{0.38f, 0.66f * s}, s < 0 ? rgb(255, 60, 60) : rgb(60, 255, 120));
    }
    p.solid([](V2 q) { return len(q) - 0.34f; }, Surface{hullTone(kMetal, p.th), 5.f, 1.3f, 0.6f, 30.f});
    canopy(p, V2{0.03f, 0.f}, V2{0.27f, 0.27f});
}

// Pod 1 of team 2: a dart inside a bumper ring.
void dart(Painter& p) {
    const Col body = hullTone(kPodColours[2], p.th);
    const Col ringCol = hullTone(rgb(60, 60, 68), p.th);
    p.solid([](V2 q) { return ring(q, 0.93f, 0.07f); }, Surface{ringCol, 5.f, 1.5f, 0.6f, 30.f});
    p.lines([](V2 q) { return ring(q, 0.93f, 0.07f); },
            [](V2 q) {
                // Hazard stripes on the bumper.
                const float a = angleDeg(q) + 180.f;
                const float f = std::fmod(a, 12.f);
                return std::min(f, 12.f - f) * 0.01f;
            },
            4.f, withA(rgb(255, 196, 40), p.day() ? 0.9f : 0.6f));
    for (float a : {90.f, 270.f, 180.f}) {
        const V2 dir = rot(V2{1.f, 0.f}, a);
        p.solid([&](V2 q) { return sdBar(q, dir * 0.3f, dir * 0.9f, 0.05f, 0.f); },
                Surface{hullTone(kMetal, p.th), 4.f, 1.2f, 0.5f, 30.f});
    }
    const std::vector<V2> dartPoly{{0.95f, 0.f}, {-0.5f, 0.72f}, {-0.3f, 0.f}, {-0.5f, -0.72f}};
    p.solid([&](V2 q) { return sdPolygon(dartPoly, q) - 0.03f; }, Surface{body, 12.f, 1.4f, 0.45f, 24.f});
    p.flat([&](V2 q) {
        return opInter(sdPolygon(dartPoly, q) + 0.04f,
                       std::min(std::fabs(q.y - 0.09f), std::fabs(q.y + 0.09f)) - 0.035f);
    }, [&](V2) { return kWhite; });
    p.lines([&](V2 q) { return sdPolygon(dartPoly, q) + 0.02f; },
            [&](V2 q) { return sdPolygon(dartPoly, q) + 0.12f; }, 2.f, withA(mul(body, 0.4f), 0.9f));
    for (int s : {-1, 1}) {
        engineNozzle(p, 2, V2{-0.5f, 0.46f * s}, 0.14f);
        runningLight(p, V2{-0.45f, 0.72f * s}, s < 0 ? rgb(255, 60, 60) : rgb(60, 255, 120));
    }
    canopy(p, V2{0.28f, 0.f}, V2{0.3f, 0.14f});
}

// Pod 2 of team 2: a torus ring round a glowing orb, held by four pylons.
void orb(Painter& p) {
    const Col body = hullTone(kPodColours[3], p.th);
    for (int i = 0; i < 4; ++i) {
        const V2 dir = rot(V2{1.f, 0.f}, 45.f + i * 90.f);
        p.solid([&](V2 q) { return sdBar(q, dir * 0.3f, dir * 0.75f, 0.07f, 0.f); },
                Surface{hullTone(kDarkMetal, p.th), 5.f, 1.2f, 0.5f, 30.f});
    }
    // The torus is lit as a tube.
    p.flat([](V2 q) { return ring(q, 0.84f, 0.16f); },
           [&](V2 q) {
               const float rr = len(q);
               const float off = (rr - 0.84f) / 0.16f;
               const V2 radial = q * (1.f / std::max(rr, 1e-4f));
               Col c = litDome(body, radial * (off * 50.f), 52.f, 0.6f, p.th);
               return c;
           });
    p.lines([](V2 q) { return ring(q, 0.84f, 0.16f); },
            [](V2 q) {
                float d = 1e9f;
                for (int i = 0; i < 8; ++i) d = std::min(d, radialLine(q, 22.5f + i * 45.f));
                return d;
            },
            2.f, withA(mul(body, 0.4f), 0.8f));
    // Engine block on the back of the ring, fins on the front.
    p.solid([](V2 q) { return sdBox(q, V2{-0.86f, 0.f}, V2{0.12f, 0.3f}, 0.06f); },
            Surface{hullTone(kMetal, p.th), 5.f, 1.3f, 0.5f, 30.f});
    for (int s : {-1, 1}) {
        engineNozzle(p, 3, V2{-0.9f, 0.16f * s}, 0.1f);
        p.solid([&](V2 q) { return sdBar(q, rot(V2{0.84f, 0.f}, 25.f * s), rot(V2{0.98f, 0.f}, 12.f * s), 0.035f, 0.02f); },
                Surface{kWhite, 3.f, 1.f, 0.5f, 30.f});
        runningLight(p, rot(V2{0.84f, 0.f}, 60.f * s), s < 0 ? rgb(255, 60, 60) : rgb(60, 255, 120));
    }
    p.solid([](V2 q) { return len(q) - 0.4f; }, Surface{hullTone(kMetal, p.th), 6.f, 1.3f, 0.6f, 30.f});
    p.flat([](V2 q) { return len(q) - 0.33f; },
           [&](V2 q) {
               Col core = mix(kWhite, body, 0.55f);
               Col c = litDome(core, q * 100.f, 33.f, 1.f, p.th);
               const float glowK = 1.f - smooth(0.f, 0.33f, len(q - V2{0.06f, 0.f}));
               return addRgb(c, body, glowK * (p.day() ? 0.35f : 0.8f));
           });
    p.light(V2{0.f, 0.f}, 0.45f, body, p.day() ? 0.25f : 0.7f);
}

}  // namespace

void drawPod(Canvas& cv, int index, Theme theme, V2 c, float r) {
    Painter p{cv, c, r, theme};
    underside(p, index);
    switch (index) {
        case 0: saucer(p); break;
        case 1: hexPod(p); break;
        case 2: dart(p); break;
        default: orb(p); break;
    }
}

void makePods(Context& ctx) {
    const char* names[4] = {"ship_1_1", "ship_1_2", "ship_2_1", "ship_2_2"};
    for (Theme th : {Theme::Day, Theme::Night}) {
        for (int i = 0; i < 4; ++i) {
            Canvas cv(384, 384);
            drawPod(cv, i, th, V2{192.f, 192.f}, 170.f);
            ctx.write(cv, std::string("textures/") + names[i] + (th == Theme::Day ? "-default" : "-night") + ".png");
        }
    }
}

// The icon drawn for a square of `size` pixels: the 128-pixel design scaled,
// with edges anti-aliased at the target size.
static Canvas iconCanvas(int size) {
    const float s = static_cast<float>(size) / 128.f;
    const float c = 64.f * s;
    Canvas cv(size, size);
    // A dark rounded tile so the pod reads on any desktop.
    cv.paint([s](V2 p) {
        const V2 q{p.x / s, p.y / s};
        const float d = sdBox(q, V2{64.f, 64.f}, V2{62.f, 62.f}, 18.f) * s;
        const float cov = cover(d);
        const float t = q.y / 128.f;
        return withA(mix(rgb(28, 44, 78), rgb(10, 14, 30), t), cov);
    });
    cv.paint([s](V2 p) {
        const V2 q{p.x / s, p.y / s};
        const float d = (std::fabs(sdBox(q, V2{64.f, 64.f}, V2{62.f, 62.f}, 18.f) + 1.5f) - 1.5f) * s;
        return withA(rgb(105, 211, 244), cover(d) * 0.8f);
    });
    Canvas pod(size, size);
    drawPod(pod, 2, Theme::Day, V2{c, c}, 50.f * s);
    // Tilt the pod so it looks under way.
    Canvas tilted(size, size);
    tilted.paint([&](V2 p) {
        const V2 q = rot(p - V2{c, c}, 40.f) + V2{c, c};
        return pod.sample(q.x, q.y);
    });
    cv.drawCanvas(tilted, 0, 0);
    return cv;
}

void makeIcon(Context& ctx) { ctx.write(iconCanvas(128), "icon.png"); }

// The desktop's icon theme sizes, installed under share/icons/hicolor/.
void makeDesktopIcons(Context& ctx) {
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string folder = "icons/" + std::to_string(size) + "x" + std::to_string(size);
        std::filesystem::create_directories(ctx.outDir + "/" + folder);
        ctx.write(iconCanvas(size), folder + "/vuzuder.png");
    }
}

}  // namespace artgen
