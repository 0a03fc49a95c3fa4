// Checkpoint flash, drawn over a pad after a pod passes it (time: seconds
// since the pass, fading out by 2.5 s). The mask texture holds the pad's
// glowing line work in red, a soft fill with a halo past the rim in green and
// eight sectors in blue. The flash canvas is square and drawn 1.2 times the
// pad's size, so the mask already shrinks the pad's features by that factor.
//   mode 1: a shock ring runs out from the core through the line work and
//           leaves the halo pulsing (team 1 in a race).
//   mode 0: a beam sweeps round the eight sectors, lighting them one after
//           another (team 2 in a race), so both teams' flashes stay readable
//           when they overlap.
//   mode 2: both at once (time attack).
uniform vec2 resolution;
uniform sampler2D texture;
uniform float time;
uniform vec4 color;
uniform int mode;

const float PI = 3.14159265;

float ringBurst(vec4 m, float r, float t, float fade) {
    float waveR = t * 1.15;
    float wave = exp(-pow((r - waveR) / 0.07, 2.0)) * (1.0 - smoothstep(0.6, 1.3, t));
    float core = exp(-t * 7.0);
    float pulse = 0.75 + 0.25 * sin(t * 14.0);
    return m.r * (1.3 * fade * pulse + 2.2 * wave)
         + m.g * (0.6 * fade * pulse + 1.2 * wave + 1.5 * core);
}

float sectorSweep(vec4 m, vec2 p, float t, float fade) {
    float a = atan(p.y, p.x);
    float beam = mod(a - t * 7.0, 2.0 * PI);
    // Bright leading edge, long fading tail behind it.
    float trail = exp(-beam * 1.1) + exp(-(2.0 * PI - beam) * 12.0);
    float arrive = smoothstep(0.0, 0.15, t);
    return m.b * (1.6 * trail * arrive + 0.5 * fade)
         + m.r * (0.9 * fade + 0.7 * trail * arrive)
         + m.g * 0.4 * fade * (0.5 + 0.5 * trail);
}

void main() {
    vec2 uv = gl_FragCoord.xy / resolution;
    // Canvas rows run upwards in gl_FragCoord, image rows downwards.
    vec4 m = texture2D(texture, vec2(uv.x, 1.0 - uv.y));
    vec2 p = (uv - 0.5) * 2.0;
    float r = length(p);
    float t = max(time, 0.0);
    float fade = 1.0 - smoothstep(0.0, 2.5, t);
    float attack = smoothstep(0.0, 0.06, t);

    float i;
    if (mode == 1)
        i = ringBurst(m, r, t, fade);
    else if (mode == 0)
        i = sectorSweep(m, p, t, fade);
    else
        i = 0.75 * (ringBurst(m, r, t, fade) + sectorSweep(m, p, t, fade));
    i *= attack * (1.0 - smoothstep(2.3, 2.5, t)) * color.a;

    // Strong light burns towards white.
    vec3 c = mix(color.rgb, vec3(1.0), clamp((i - 1.0) * 0.5, 0.0, 0.7));
    gl_FragColor = vec4(c * min(i, 1.6), clamp(i, 0.0, 1.0));
}
