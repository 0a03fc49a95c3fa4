#include "canvas.h"

namespace artgen {

float sdBar(V2 p, V2 a, V2 b, float halfWidth, float extend) {
    const V2 d = b - a;
    const float l = std::max(1e-6f, len(d));
    const V2 u = d * (1.f / l);
    const V2 m = (a + b) * 0.5f;
    const V2 q = p - m;
    const V2 local{dot(q, u), -q.x * u.y + q.y * u.x};
    return sdBox(local, V2{}, V2{l * 0.5f + extend, halfWidth});
}

float sdPolygon(const std::vector<V2>& v, V2 p) {
    float d = dot(p - v[0], p - v[0]);
    float s = 1.f;
    const size_t n = v.size();
    for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
        const V2 e = v[j] - v[i];
        const V2 w = p - v[i];
        const V2 b = w - e * clamp01(dot(w, e) / dot(e, e));
        d = std::min(d, dot(b, b));
        const bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

float hash2(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFFu) / static_cast<float>(0xFFFFFF);
}

float valueNoise(float x, float y, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.f - 2.f * tx);
    ty = ty * ty * (3.f - 2.f * ty);
    const float a = hash2(ix, iy, seed), b = hash2(ix + 1, iy, seed);
    const float c = hash2(ix, iy + 1, seed), d = hash2(ix + 1, iy + 1, seed);
    return mixf(mixf(a, b, tx), mixf(c, d, tx), ty);
}

float fbm(float x, float y, uint32_t seed, int octaves, float gain) {
    float sum = 0.f, amp = 0.5f, norm = 0.f;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x, y, seed + static_cast<uint32_t>(i) * 101u);
        norm += amp;
        amp *= gain;
        // Rotate between octaves to hide the grid.
        const float nx = x * 1.6f - y * 1.2f, ny = x * 1.2f + y * 1.6f;
        x = nx + 17.3f;
        y = ny + 5.1f;
    }
    return sum / norm;
}

float cellNoise(float x, float y, uint32_t seed, float* cellId) {
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float best = 1e9f;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const float px = ix + i + hash2(ix + i, iy + j, seed);
            const float py = iy + j + hash2(ix + i, iy + j, seed + 7u);
            const float d = std::hypot(px - x, py - y);
            if (d < best) {
                best = d;
                if (cellId) *cellId = hash2(ix + i, iy + j, seed + 13u);
            }
        }
    return best;
}

Canvas::Canvas(int w, int h, Col fill) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, fill) {}

Col Canvas::sample(float x, float y) const {
    x = std::min(std::max(x - 0.5f, 0.f), w_ - 1.f);
    y = std::min(std::max(y - 0.5f, 0.f), h_ - 1.f);
    const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    const int x1 = std::min(x0 + 1, w_ - 1), y1 = std::min(y0 + 1, h_ - 1);
    const float tx = x - x0, ty = y - y0;
    return mix(mix(at(x0, y0), at(x1, y0), tx), mix(at(x0, y1), at(x1, y1), tx), ty);
}

void Canvas::over(int x, int y, Col c) {
    Col& d = at(x, y);
    const float a = clamp01(c.a);
    const float outA = a + d.a * (1.f - a);
    if (outA <= 0.f) {
        d = {};
        return;
    }
    const float k = d.a * (1.f - a);
    d.r = (c.r * a + d.r * k) / outA;
    d.g = (c.g * a + d.g * k) / outA;
    d.b = (c.b * a + d.b * k) / outA;
    d.a = outA;
}

void Canvas::addGlow(int x, int y, Col c) {
    // Light added to what is there; on transparent pixels it becomes the colour itself.
    Col& d = at(x, y);
    const float a = clamp01(c.a);
    const float outA = std::min(1.f, d.a + a);
    if (outA <= 0.f) return;
    d.r = std::min(1.f, (d.r * d.a + c.r * a) / outA);
    d.g = std::min(1.f, (d.g * d.a + c.g * a) / outA);
    d.b = std::min(1.f, (d.b * d.a + c.b * a) / outA);
    d.a = outA;
}

namespace {
template <class T, class Get, class Set>
void boxBlur(int w, int h, int r, Get get, Set set) {
    std::vector<T> line(static_cast<size_t>(std::max(w, h)));
    for (int pass = 0; pass < 2; ++pass) {
        const int n = pass == 0 ? w : h, m = pass == 0 ? h : w;
        for (int j = 0; j < m; ++j) {
            T acc{};
            auto fetch = [&](int i) {
                i = std::min(std::max(i, 0), n - 1);
                return pass == 0 ? get(i, j) : get(j, i);
            };
            for (int i = -r; i <= r; ++i) acc = acc + fetch(i);
            for (int i = 0; i < n; ++i) {
                line[static_cast<size_t>(i)] = acc * (1.f / (2 * r + 1));
                acc = acc + fetch(i + r + 1) - fetch(i - r);
            }
            for (int i = 0; i < n; ++i) {
                if (pass == 0) set(i, j, line[static_cast<size_t>(i)]);
                else set(j, i, line[static_cast<size_t>(i)]);
            }
        }
    }
}
struct P4 {
    float r = 0, g = 0, b = 0, a = 0;
    P4 operator+(P4 o) const { return {r + o.r, g + o.g, b + o.b, a + o.a}; }
    P4 operator-(P4 o) const { return {r - o.r, g - o.g, b - o.b, a - o.a}; }
    P4 operator*(float k) const { return {r * k, g * k, b * k, a * k}; }
};
}  // namespace

void Canvas::blur(int radius, int passes) {
    // Blur in premultiplied space so transparent pixels do not darken edges.
    std::vector<P4> pm(px_.size());
    for (size_t i = 0; i < px_.size(); ++i)
        pm[i] = {px_[i].r * px_[i].a, px_[i].g * px_[i].a, px_[i].b * px_[i].a, px_[i].a};
    for (int p = 0; p < passes; ++p)
        boxBlur<P4>(
            w_, h_, radius, [&](int x, int y) { return pm[static_cast<size_t>(y) * w_ + x]; },
            [&](int x, int y, P4 v) { pm[static_cast<size_t>(y) * w_ + x] = v; });
    for (size_t i = 0; i < px_.size(); ++i) {
        const float a = pm[i].a;
        px_[i] = a > 1e-6f ? Col{pm[i].r / a, pm[i].g / a, pm[i].b / a, a} : Col{};
    }
}

void Canvas::drawCanvas(const Canvas& src, int dx, int dy) {
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const int tx = x + dx, ty = y + dy;
            if (tx < 0 || ty < 0 || tx >= w_ || ty >= h_) continue;
            over(tx, ty, src.at(x, y));
        }
}

sf::Image Canvas::toImage() const {
    // Transparent pixels take the colour of their nearest visible neighbours, so
    // smoothing and mipmaps do not pull dark fringes into the edges.
    std::vector<Col> out = px_;
    std::vector<char> known(out.size());
    for (size_t i = 0; i < out.size(); ++i) known[i] = out[i].a > 0.5f / 255.f;
    for (int iter = 0; iter < 24; ++iter) {
        std::vector<size_t> fresh;
        std::vector<Col> vals;
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                const size_t i = static_cast<size_t>(y) * w_ + x;
                if (known[i]) continue;
                float r = 0, g = 0, b = 0, n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= w_ || ny >= h_) continue;
                        const size_t j = static_cast<size_t>(ny) * w_ + nx;
                        if (!known[j]) continue;
                        r += out[j].r; g += out[j].g; b += out[j].b; n += 1;
                    }
                if (n > 0) {
                    fresh.push_back(i);
                    vals.push_back(Col{r / n, g / n, b / n, 0.f});
                }
            }
        if (fresh.empty()) break;
        for (size_t k = 0; k < fresh.size(); ++k) {
            out[fresh[k]] = vals[k];
            known[fresh[k]] = 1;
        }
    }
    sf::Image img;
    img.create(static_cast<unsigned>(w_), static_cast<unsigned>(h_));
    auto q = [](float v) { return static_cast<sf::Uint8>(std::lround(clamp01(v) * 255.f)); };
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            const Col& c = out[static_cast<size_t>(y) * w_ + x];
            img.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y),
                         sf::Color(q(c.r), q(c.g), q(c.b), q(c.a)));
        }
    return img;
}

bool Canvas::save(const std::string& path) const { return toImage().saveToFile(path); }

float Mask::sample(float x, float y) const {
    x -= 0.5f;
    y -= 0.5f;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float tx = x - x0, ty = y - y0;
    return mixf(mixf(at(x0, y0), at(x0 + 1, y0), tx), mixf(at(x0, y0 + 1), at(x0 + 1, y0 + 1), tx), ty);
}

void Mask::blur(int radius, int passes) {
    for (int p = 0; p < passes; ++p)
        boxBlur<float>(
            w, h, radius, [&](int x, int y) { return v[static_cast<size_t>(y) * w + x]; },
            [&](int x, int y, float f) { v[static_cast<size_t>(y) * w + x] = f; });
}

}  // namespace artgen
