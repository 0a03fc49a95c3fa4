#include "art.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Text.hpp>

#include <iostream>

namespace artgen {

void Context::write(const Canvas& c, const std::string& relPath) {
    const std::string path = outDir + "/" + relPath;
    if (!c.save(path)) {
        std::cerr << "vuzuder-artgen: cannot write " << path << "\n";
        ok = false;
        return;
    }
    std::cout << "wrote " << path << " (" << c.width() << " x " << c.height() << ")\n";
}

Mask textMask(const sf::Font& font, const std::string& text, unsigned size, int pad, float outline,
              float lineSpacing) {
    sf::Text t(sf::String::fromUtf8(text.begin(), text.end()), font, size);
    t.setLineSpacing(lineSpacing);
    t.setFillColor(sf::Color::White);
    if (outline > 0.f) {
        t.setOutlineThickness(outline);
        t.setOutlineColor(sf::Color::White);
    }
    const sf::FloatRect b = t.getLocalBounds();
    Mask m;
    m.w = static_cast<int>(std::ceil(b.width)) + 2 * pad;
    m.h = static_cast<int>(std::ceil(b.height)) + 2 * pad;
    m.v.assign(static_cast<size_t>(m.w) * m.h, 0.f);
    sf::RenderTexture rt;
    if (!rt.create(static_cast<unsigned>(m.w), static_cast<unsigned>(m.h))) return m;
    rt.clear(sf::Color::Black);
    t.setPosition(pad - b.left, pad - b.top);
    rt.draw(t);
    rt.display();
    const sf::Image img = rt.getTexture().copyToImage();
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            m.v[static_cast<size_t>(y) * m.w + x] =
                img.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)).r / 255.f;
    return m;
}

namespace {
struct V3 {
    float x, y, z;
};
V3 norm3(V3 v) {
    const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}
float dot3(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Col shade(Col albedo, V3 n, float gloss, float shininess, Theme theme) {
    // Light high above and a little behind-left, so sprites read well at any rotation.
    const V3 l = norm3({-0.35f, -0.45f, 1.f});
    const V3 h = norm3({l.x, l.y, l.z + 1.f});
    const float diff = std::max(0.f, dot3(n, l));
    const float specular = std::pow(std::max(0.f, dot3(n, h)), shininess) * gloss;
    const bool day = theme == Theme::Day;
    const float ambient = day ? 0.42f : 0.22f;
    const float direct = day ? 0.68f : 0.55f;
    const Col sky = day ? rgb(255, 250, 235) : rgb(150, 160, 255);
    Col c = albedo;
    const float k = ambient + direct * diff;
    c.r = albedo.r * k * (day ? 1.f : 0.85f) + sky.r * specular;
    c.g = albedo.g * k * (day ? 1.f : 0.85f) + sky.g * specular;
    c.b = albedo.b * k * (day ? 1.f : 1.05f) + sky.b * specular;
    // Rim of dusk light from the sky on slopes facing away from the viewer.
    if (!day) {
        const float rim = std::pow(1.f - std::max(0.f, n.z), 2.f) * 0.35f;
        c = addRgb(c, rgb(255, 120, 170), rim);
    }
    return c;
}
}  // namespace

Col lit(const Surface& s, float dist, V2 grad, Theme theme) {
    const float t = -dist;  // depth inside the shape
    float slope = 0.f;
    if (t < s.bevel && s.bevel > 0.f) slope = 2.f * (1.f - std::max(0.f, t) / s.bevel) * s.height;
    const V3 n = norm3({grad.x * slope, grad.y * slope, 1.f});
    return shade(s.albedo, n, s.gloss, s.shininess, theme);
}

Col litDome(Col albedo, V2 local, float radius, float gloss, Theme theme) {
    const float r2 = dot(local, local) / (radius * radius);
    const float z = std::sqrt(std::max(0.f, 1.f - std::min(r2, 0.999f)));
    const V3 n = norm3({local.x / radius, local.y / radius, z});
    return shade(albedo, n, gloss, 48.f, theme);
}

}  // namespace artgen
