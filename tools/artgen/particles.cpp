// Particle textures. Vertex colours multiply them, so they stay near white.
#include "art.h"

namespace artgen {

namespace {

Canvas trailDot() {
    Canvas cv(32, 32);
    cv.paint([](V2 p) {
        const float d = len(p - V2{16.f, 16.f}) / 15.f;
        const float a = std::exp(-d * d * 3.f) * (1.f - smooth(0.85f, 1.f, d));
        return Col{1.f, 1.f, 1.f, a};
    });
    return cv;
}

// Four flame puffs in a 2 x 2 atlas; each frame is a different noisy blob.
Canvas engineAtlas() {
    const int frame = 64;
    Canvas cv(2 * frame, 2 * frame);
    for (int f = 0; f < 4; ++f) {
        const V2 origin{static_cast<float>((f % 2) * frame), static_cast<float>((f / 2) * frame)};
        const V2 c = origin + V2{frame * 0.5f, frame * 0.5f};
        const uint32_t seed = 300u + static_cast<uint32_t>(f) * 17u;
        cv.paintRect(static_cast<int>(origin.x), static_cast<int>(origin.y), static_cast<int>(origin.x) + frame,
                     static_cast<int>(origin.y) + frame, [&](V2 p) {
                         V2 q = (p - c) * (1.f / (frame * 0.5f));
                         // Each frame its own silhouette: round, stretched, two-lobed, ragged.
                         const float stretch[4] = {1.f, 1.35f, 1.1f, 0.95f};
                         q = rot(q, f * 37.f);
                         q.x /= stretch[f];
                         q.y *= stretch[f] * 0.9f + 0.1f;
                         const float ang = std::atan2(q.y, q.x);
                         const float lumps = f == 2 ? 0.18f * std::cos(2.f * ang) : 0.f;
                         const float wob = fbm(std::cos(ang) * 1.3f + f * 3.f, std::sin(ang) * 1.3f, seed, 3);
                         const float radius = (f == 3 ? 0.5f : 0.6f) + (f == 3 ? 0.5f : 0.3f) * wob + lumps;
                         const float r = len(q) / radius;
                         const float n = fbm(q.x * 3.2f + f * 5.f, q.y * 3.2f, seed + 5u, 4);
                         float density = (1.f - smooth(0.35f, 1.f, r)) * (0.55f + 0.6f * n);
                         density *= 1.f - smooth(0.9f, 1.f, std::max(std::fabs(q.x), std::fabs(q.y)));
                         const float core = std::exp(-r * r * 4.f);
                         const float shade = 0.78f + 0.22f * core + 0.1f * (n - 0.5f);
                         return Col{shade, shade, shade, clamp01(density * 1.25f)};
                     });
    }
    return cv;
}

// A spark streak along +x: white-hot head on the right, cooling tail to the left.
Canvas sparkStreak() {
    const int W = 96, H = 8;
    Canvas cv(W, H);
    cv.paint([&](V2 p) {
        const float t = p.x / W;  // 0 tail, 1 head
        const float thick = mixf(0.6f, 3.2f, smooth(0.f, 0.9f, t));
        const float d = std::fabs(p.y - H * 0.5f);
        const float body = clamp01((thick - d) / 1.2f + 0.5f);
        const float head = 1.f - smooth(0.92f, 1.f, t);
        const float a = body * smooth(0.f, 0.55f, t) * head;
        const Col hot = rgb(255, 255, 235), warm = rgb(255, 190, 80), cool = rgb(255, 110, 40);
        Col c = t > 0.6f ? mix(warm, hot, smooth(0.6f, 0.9f, t)) : mix(cool, warm, smooth(0.f, 0.6f, t));
        c = mix(c, hot, 1.f - smooth(0.f, thick, d) * 0.6f);
        return withA(c, a);
    });
    return cv;
}

}  // namespace

void makeParticles(Context& ctx) {
    ctx.write(trailDot(), "textures/particle_trail.png");
    ctx.write(engineAtlas(), "textures/particle_engine.png");
    ctx.write(sparkStreak(), "textures/particle_spark.png");
}

}  // namespace artgen
