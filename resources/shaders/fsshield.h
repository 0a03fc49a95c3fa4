// Shield bubble round a pod (time: the shield cooldown, 3 when raised, down
// to 0). A hexagonal energy lattice wrapped on a sphere, bright at the rim
// (fresnel), with bands of energy crawling round it. It flashes outwards when
// raised, flickers in its last second and fades out as time reaches 0.
// The bubble fills most of the square canvas: the canvas side is the pod's
// diameter plus a margin.
uniform vec2 resolution;
uniform float time;
uniform vec4 color;

float hexLines(vec2 q) {
    // Distance to the edges of a hexagonal tiling (0 on the edges).
    vec2 s = vec2(1.0, 1.7320508);
    vec2 a = mod(q, s) - 0.5 * s;
    vec2 b = mod(q + 0.5 * s, s) - 0.5 * s;
    vec2 g = dot(a, a) < dot(b, b) ? a : b;
    g = abs(g);
    return 0.5 - max(dot(g, vec2(0.5, 0.8660254)), g.x);
}

void main() {
    vec2 p = (gl_FragCoord.xy / resolution - 0.5) * 2.0;
    float r = length(p);
    float R = 0.9;
    float t = clamp(time, 0.0, 3.0);
    float age = 3.0 - t;

    float inside = 1.0 - smoothstep(R - 0.01, R + 0.015, r);
    float x = clamp(r / R, 0.0, 0.999);
    float z = sqrt(1.0 - x * x);
    float fresnel = pow(1.0 - z, 2.5);

    // Lattice projected on the sphere so cells shrink towards the rim.
    vec2 q = p / (z + 0.6) * 3.6;
    q += vec2(age * 0.6, age * 0.25);
    float lines = (1.0 - smoothstep(0.0, 0.07, hexLines(q))) * (1.0 - smoothstep(0.8, 0.97, x));

    float ang = atan(p.y, p.x);
    float bands = 0.5 + 0.5 * sin(ang * 3.0 + age * 5.0 + r * 6.0);
    bands *= 0.5 + 0.5 * sin(ang * 2.0 - age * 3.0);

    float raiseWave = exp(-pow((r - age * 3.2) / 0.08, 2.0)) * (1.0 - smoothstep(0.0, 0.35, age));
    float flicker = t < 1.0 ? 0.65 + 0.35 * step(0.5, fract(t * 7.0)) : 1.0;
    float strength = smoothstep(0.0, 0.5, t) * flicker;

    float i = 0.08 + 1.0 * fresnel + lines * (0.3 + 0.4 * fresnel) * (0.6 + 0.8 * bands);
    i = i * inside + raiseWave * 1.5 * (1.0 - smoothstep(R, R + 0.08, r));
    // A thin bright edge marks the bubble.
    i += exp(-pow((r - R) / 0.012, 2.0)) * 0.5;
    i *= strength * color.a;

    vec3 c = mix(color.rgb, vec3(1.0), clamp(fresnel * 0.3 + raiseWave, 0.0, 0.8));
    gl_FragColor = vec4(c, clamp(i, 0.0, 1.0));
}
