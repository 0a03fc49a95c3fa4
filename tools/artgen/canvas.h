// Float RGBA canvas, signed distance helpers and noise for procedural art.
#pragma once

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace artgen {

constexpr float kPi = 3.14159265358979f;

struct V2 {
    float x = 0.f, y = 0.f;
};
inline V2 operator+(V2 a, V2 b) { return {a.x + b.x, a.y + b.y}; }
inline V2 operator-(V2 a, V2 b) { return {a.x - b.x, a.y - b.y}; }
inline V2 operator*(V2 a, float k) { return {a.x * k, a.y * k}; }
inline float dot(V2 a, V2 b) { return a.x * b.x + a.y * b.y; }
inline float len(V2 a) { return std::sqrt(dot(a, a)); }
inline V2 rot(V2 p, float deg) {
    const float r = deg * kPi / 180.f, c = std::cos(r), s = std::sin(r);
    return {p.x * c - p.y * s, p.x * s + p.y * c};
}
inline float angleDeg(V2 p) { return std::atan2(p.y, p.x) * 180.f / kPi; }

inline float clamp01(float v) { return std::min(1.f, std::max(0.f, v)); }
inline float mixf(float a, float b, float t) { return a + (b - a) * t; }
inline float smooth(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.f - 2.f * t);
}
// Anti-aliased coverage of a signed distance given in pixels.
inline float cover(float d, float aa = 1.f) { return clamp01(0.5f - d / aa); }

// Straight (not premultiplied) colour, components in [0, 1].
struct Col {
    float r = 0.f, g = 0.f, b = 0.f, a = 0.f;
};
inline Col rgb(int r, int g, int b, float a = 1.f) {
    return {r / 255.f, g / 255.f, b / 255.f, a};
}
inline Col withA(Col c, float a) { return {c.r, c.g, c.b, a}; }
inline Col mix(Col a, Col b, float t) {
    return {mixf(a.r, b.r, t), mixf(a.g, b.g, t), mixf(a.b, b.b, t), mixf(a.a, b.a, t)};
}
inline Col mul(Col c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }
inline Col mul(Col c, Col k) { return {c.r * k.r, c.g * k.g, c.b * k.b, c.a * k.a}; }
inline Col addRgb(Col c, Col k, float s) {
    return {c.r + k.r * s, c.g + k.g * s, c.b + k.b * s, c.a};
}
inline float luma(Col c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }
inline Col saturate(Col c, float s) {
    const float l = luma(c);
    return {mixf(l, c.r, s), mixf(l, c.g, s), mixf(l, c.b, s), c.a};
}

// Signed distances (negative inside).
inline float sdCircle(V2 p, V2 c, float r) { return len(p - c) - r; }
inline float sdBox(V2 p, V2 c, V2 half, float round = 0.f) {
    const V2 q{std::fabs(p.x - c.x) - half.x + round, std::fabs(p.y - c.y) - half.y + round};
    const V2 m{std::max(q.x, 0.f), std::max(q.y, 0.f)};
    return len(m) + std::min(std::max(q.x, q.y), 0.f) - round;
}
inline float sdSegment(V2 p, V2 a, V2 b, float radius) {
    const V2 pa = p - a, ba = b - a;
    const float h = clamp01(dot(pa, ba) / std::max(1e-6f, dot(ba, ba)));
    return len(pa - ba * h) - radius;
}
// A stroke from a to b with square ends reaching `extend` past each end.
float sdBar(V2 p, V2 a, V2 b, float halfWidth, float extend);
float sdPolygon(const std::vector<V2>& v, V2 p);
inline float sdEllipse(V2 p, V2 c, V2 radii) {
    // Scaled-circle approximation, good enough near the outline.
    const V2 q{(p.x - c.x) / radii.x, (p.y - c.y) / radii.y};
    const float k = len(q);
    const V2 g{q.x / radii.x, q.y / radii.y};
    return (k - 1.f) * k / std::max(1e-6f, len(g));
}
inline float opUnion(float a, float b) { return std::min(a, b); }
inline float opSub(float a, float b) { return std::max(a, -b); }
inline float opInter(float a, float b) { return std::max(a, b); }
inline float opSmoothUnion(float a, float b, float k) {
    const float h = clamp01(0.5f + 0.5f * (b - a) / k);
    return mixf(b, a, h) - k * h * (1.f - h);
}

// Deterministic hash based noise.
float hash2(int x, int y, uint32_t seed);
float valueNoise(float x, float y, uint32_t seed);
float fbm(float x, float y, uint32_t seed, int octaves, float gain = 0.5f);
// Distance to the nearest feature point of a jittered grid (cellular noise).
float cellNoise(float x, float y, uint32_t seed, float* cellId = nullptr);

class Canvas {
public:
    Canvas(int w, int h, Col fill = {});
    int width() const { return w_; }
    int height() const { return h_; }
    Col& at(int x, int y) { return px_[static_cast<size_t>(y) * w_ + x]; }
    const Col& at(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
    Col sample(float x, float y) const;  // bilinear, clamped
    void over(int x, int y, Col c);
    void addGlow(int x, int y, Col c);

    // Calls f(pixel centre) and composites the result over the canvas.
    template <class F>
    void paint(F f) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                const Col c = f(V2{x + 0.5f, y + 0.5f});
                if (c.a > 0.f) over(x, y, c);
            }
    }
    // Same as paint but only within a rectangle, for small shapes on big canvases.
    template <class F>
    void paintRect(int x0, int y0, int x1, int y1, F f) {
        x0 = std::max(0, x0); y0 = std::max(0, y0);
        x1 = std::min(w_, x1); y1 = std::min(h_, y1);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const Col c = f(V2{x + 0.5f, y + 0.5f});
                if (c.a > 0.f) over(x, y, c);
            }
    }
    template <class F>
    void glow(F f) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                const Col c = f(V2{x + 0.5f, y + 0.5f});
                if (c.a > 0.f) addGlow(x, y, c);
            }
    }
    void blur(int radius, int passes = 3);
    void drawCanvas(const Canvas& src, int dx, int dy);
    sf::Image toImage() const;
    bool save(const std::string& path) const;

private:
    int w_, h_;
    std::vector<Col> px_;
};

// Single channel coverage mask (text, silhouettes).
struct Mask {
    int w = 0, h = 0;
    std::vector<float> v;
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= w || y >= h) return 0.f;
        return v[static_cast<size_t>(y) * w + x];
    }
    float sample(float x, float y) const;
    void blur(int radius, int passes = 3);
};

}  // namespace artgen
