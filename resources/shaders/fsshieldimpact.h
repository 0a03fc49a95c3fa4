// Impact on a pod's shield (time: age of the impact, 0 to 1; factor: its
// strength, 0 to 1; impactAngle: degrees, counter-clockwise from +x in world
// coordinates, where the hit lands on the bubble). A white-hot spot where the
// hit lands, an arc of light running along the rim from it and a shock ring
// crossing the bubble, all larger and longer with a stronger hit.
uniform vec2 resolution;
uniform float time;
uniform float factor;
uniform float impactAngle;
uniform vec4 color;

float hexLines(vec2 q) {
    vec2 s = vec2(1.0, 1.7320508);
    vec2 a = mod(q, s) - 0.5 * s;
    vec2 b = mod(q + 0.5 * s, s) - 0.5 * s;
    vec2 g = dot(a, a) < dot(b, b) ? a : b;
    g = abs(g);
    return 0.5 - max(dot(g, vec2(0.5, 0.8660254)), g.x);
}

void main() {
    vec2 p = (gl_FragCoord.xy / resolution - 0.5) * 2.0;
    // The canvas is shown as a sprite in a world whose y axis points up on
    // screen, while canvas rows grow upwards in gl_FragCoord: flip to world.
    p.y = -p.y;
    float r = length(p);
    float R = 0.9;
    float t = clamp(time, 0.0, 1.0);
    float f = clamp(factor, 0.0, 1.0);
    float a = radians(impactAngle);
    vec2 dir = vec2(cos(a), sin(a));
    vec2 hit = dir * R;
    float dHit = length(p - hit);

    float life = pow(1.0 - t, 1.5);
    float inside = 1.0 - smoothstep(R - 0.01, R + 0.02, r);

    // Shock ring spreading from the hit across the bubble.
    float waveR = t * (0.5 + 1.4 * f);
    float wave = exp(-pow((dHit - waveR) / (0.04 + 0.05 * f), 2.0)) * inside * life;

    // Arc of light along the rim on both sides of the hit.
    float dAng = abs(atan(dir.x * p.y - dir.y * p.x, dot(dir, p)));
    float arcWidth = (0.25 + 0.9 * f) * (0.4 + t);
    float arc = exp(-pow(dAng / arcWidth, 2.0)) * exp(-pow((r - R) / 0.035, 2.0)) * life;

    // Hot spot and lattice cells lit round it.
    float spot = exp(-pow(dHit / (0.05 + 0.1 * f), 2.0)) * (1.0 - smoothstep(0.0, 0.4, t))
               * (1.0 - smoothstep(R, R + 0.06, r));
    float cells = (1.0 - smoothstep(0.0, 0.06, hexLines(p * 4.2))) * exp(-dHit * 2.5 / (0.3 + f)) * inside * life;

    float i = (1.8 * wave + 1.6 * arc + 1.6 * spot + 0.7 * cells) * (0.45 + 0.55 * f) * color.a;
    vec3 c = mix(color.rgb, vec3(1.0, 0.95, 0.85), clamp(spot, 0.0, 1.0));
    gl_FragColor = vec4(c, clamp(i, 0.0, 1.0));
}
