// Drawing in a local frame: unit = `r` pixels, origin at `c`, +x forward.
#pragma once

#include "art.h"

namespace artgen {

struct Painter {
    Canvas& cv;
    V2 c;
    float r;
    Theme th;

    V2 local(V2 p) const { return (p - c) * (1.f / r); }
    bool day() const { return th == Theme::Day; }

    template <class F>
    void solid(F f, Surface s, float extent = 1.15f) {
        auto px = [&](V2 p) { return f(local(p)) * r; };
        forBox(extent, [&](V2 p) {
            const float d = px(p);
            const float cov = cover(d);
            if (cov <= 0.f) return Col{};
            Col col = lit(s, d, gradient(px, p), th);
            col.a = s.albedo.a * cov;
            return col;
        });
    }
    // Flat colour, no lighting; colourAt gets the local point.
    template <class F, class C>
    void flat(F f, C colourAt, float extent = 1.15f) {
        forBox(extent, [&](V2 p) {
            const float cov = cover(f(local(p)) * r);
            if (cov <= 0.f) return Col{};
            Col col = colourAt(local(p));
            col.a *= cov;
            return col;
        });
    }
    // Thin line along the zero set of `line`, drawn only inside `clip`.
    template <class F, class G>
    void lines(F clip, G line, float widthPx, Col col, float extent = 1.15f) {
        forBox(extent, [&](V2 p) {
            const V2 q = local(p);
            const float inside = cover(clip(q) * r + 1.f);
            if (inside <= 0.f) return Col{};
            const float d = std::fabs(line(q) * r) - widthPx * 0.5f;
            const float cov = cover(d) * inside;
            return withA(col, col.a * cov);
        });
    }
    // Soft additive light at a local position.
    void light(V2 pos, float radius, Col col, float strength, float extent = 1.2f) {
        cv.glow([&](V2 p) {
            const V2 q = local(p);
            if (std::fabs(q.x) > extent || std::fabs(q.y) > extent) return Col{};
            const float d = len(q - pos) / radius;
            const float k = std::exp(-d * d * 2.5f) * strength;
            return withA(col, std::min(1.f, k));
        });
    }

private:
    template <class F>
    void forBox(float extent, F f) {
        const int x0 = static_cast<int>(c.x - r * extent) - 2, x1 = static_cast<int>(c.x + r * extent) + 2;
        const int y0 = static_cast<int>(c.y - r * extent) - 2, y1 = static_cast<int>(c.y + r * extent) + 2;
        cv.paintRect(x0, y0, x1, y1, f);
    }
};

// Distance helpers in local units.
inline float ring(V2 p, float radius, float halfWidth) { return std::fabs(len(p) - radius) - halfWidth; }
inline float radialLine(V2 p, float deg) {
    // Distance to the ray from the origin at angle deg.
    const V2 d = rot(V2{1.f, 0.f}, deg);
    const float t = std::max(0.f, dot(p, d));
    return len(p - d * t);
}

}  // namespace artgen
