// The art generators: each writes one or more PNG files.
#pragma once

#include "canvas.h"

#include <SFML/Graphics/Font.hpp>

#include <string>

namespace artgen {

enum class Theme { Day, Night };

// Colours shared with the game's renderer.
const Col kPodColours[4] = {rgb(105, 211, 244), rgb(72, 227, 184), rgb(255, 44, 44),
                            rgb(255, 116, 231)};

struct Context {
    std::string outDir;    // the resources folder
    sf::Font font;         // resources/fonts/monofonto.ttf
    bool ok = true;
    void write(const Canvas& c, const std::string& relPath);
};

// Text rasterised by SFML into a coverage mask, `pad` pixels of margin round it.
Mask textMask(const sf::Font& font, const std::string& text, unsigned size, int pad = 4,
              float outline = 0.f, float lineSpacing = 1.f);
// Composites a mask centred at `centre`, coloured by colourAt(pixel).
template <class F>
void stampMask(Canvas& c, const Mask& m, V2 centre, F colourAt) {
    const int x0 = static_cast<int>(std::floor(centre.x - m.w * 0.5f));
    const int y0 = static_cast<int>(std::floor(centre.y - m.h * 0.5f));
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            const int tx = x0 + x, ty = y0 + y;
            if (tx < 0 || ty < 0 || tx >= c.width() || ty >= c.height()) continue;
            const float a = m.at(x, y);
            if (a <= 0.f) continue;
            Col col = colourAt(V2{tx + 0.5f, ty + 0.5f});
            col.a *= a;
            c.over(tx, ty, col);
        }
}

// Lighting of a raised surface given the outward gradient of its distance field.
struct Surface {
    Col albedo;
    float bevel = 6.f;      // pixels over which the edge rounds off
    float height = 1.f;     // slope strength of the bevel
    float gloss = 0.4f;     // specular strength
    float shininess = 24.f;
};
Col lit(const Surface& s, float dist, V2 grad, Theme theme);
Col litDome(Col albedo, V2 local, float radius, float gloss, Theme theme);
template <class F>
V2 gradient(F sdf, V2 p) {
    const float e = 0.75f;
    return {(sdf(V2{p.x + e, p.y}) - sdf(V2{p.x - e, p.y})) / (2 * e),
            (sdf(V2{p.x, p.y + e}) - sdf(V2{p.x, p.y - e})) / (2 * e)};
}

void makePods(Context& ctx);
void makeIcon(Context& ctx);
void makeDesktopIcons(Context& ctx);
void makeCheckpoints(Context& ctx);
void makeBackgrounds(Context& ctx);
void makeParticles(Context& ctx);
void makeInterface(Context& ctx);
void makeKeys(Context& ctx);
void makeLogos(Context& ctx);
bool previewShaders(const std::string& resourcesDir, const std::string& outDir);

// Pod art drawn on any canvas, centred at c with the hull radius r (used by the icon).
void drawPod(Canvas& cv, int index, Theme theme, V2 c, float r);
// Checkpoint pad on any canvas.
void drawCheckpoint(Canvas& cv, Theme theme, V2 c, float r);

}  // namespace artgen
