// Timeout meter: how much time a team has left before its timeout (threshold
// 1 = full, 0 = timed out), in the team's colour, turning red and pulsing
// brighter at its head when little time is left. Draw it as a sprite or a
// textured quad so that gl_TexCoord[0] runs from 0 to 1 across it: a wide
// quad gives a bar filling from the left, a tall one a bar filling from the
// bottom, a square one a ring filling clockwise from the top.
uniform vec4 color;
uniform float threshold;

const float PI = 3.14159265;

void main() {
    vec2 uv = gl_TexCoord[0].xy;
    vec2 w = vec2(abs(dFdx(uv.x)) + abs(dFdy(uv.x)), abs(dFdx(uv.y)) + abs(dFdy(uv.y)));
    float level = clamp(threshold, 0.0, 1.0);
    float danger = 1.0 - smoothstep(0.08, 0.3, level);
    vec3 fillCol = mix(color.rgb, vec3(1.0, 0.15, 0.1), danger);

    if (w.x <= 0.0 || w.y <= 0.0) {
        // No texture coordinates across the shape: show the level as brightness.
        gl_FragColor = vec4(fillCol * (0.25 + 0.75 * level), color.a);
        return;
    }
    vec2 size = 1.0 / w;                 // pixel size of the quad
    vec2 px = uv * size;                 // pixel position, y down
    float aspect = size.x / size.y;

    float shape;   // signed distance to the meter's outline, pixels
    float along;   // 0..1 position along the fill direction
    float across;  // 0..1 across it, for shading
    float ticks;
    if (aspect > 1.3 || aspect < 0.77) {
        bool horizontal = aspect > 1.0;
        vec2 s = horizontal ? size : size.yx;
        vec2 q = horizontal ? px : vec2(size.y - px.y, px.x);
        float rad = s.y * 0.5;
        vec2 c = vec2(clamp(q.x, rad, s.x - rad), rad);
        shape = length(q - c) - rad + 1.0;
        along = q.x / s.x;
        across = q.y / s.y;
        ticks = abs(fract(along * 10.0) - 0.5) * s.x / 10.0;
    } else {
        vec2 c = size * 0.5;
        vec2 d = px - c;
        float R = min(size.x, size.y) * 0.5;
        float thick = R * 0.28;
        shape = abs(length(d) - (R - thick * 0.5 - 1.0)) - thick * 0.5;
        along = fract(atan(d.x, -d.y) / (2.0 * PI) + 1.0);
        across = (length(d) - (R - thick)) / thick;
        ticks = abs(fract(along * 12.0) - 0.5) * 2.0 * PI * R / 12.0;
    }

    float inside = clamp(0.5 - shape, 0.0, 1.0);
    float border = clamp(1.5 - abs(shape + 1.0), 0.0, 1.0);
    float filled = step(along, level);
    float shadeAcross = 0.75 + 0.35 * (1.0 - abs(across - 0.35) * 1.6);
    float tick = smoothstep(0.0, 1.5, ticks);
    float head = exp(-pow((along - level) * 40.0, 2.0)) * (0.6 + 0.8 * danger);

    vec3 track = vec3(0.06, 0.07, 0.1);
    vec3 c = mix(track, fillCol * shadeAcross * (0.75 + 0.25 * tick), filled);
    c += fillCol * head;
    c = mix(c, mix(vec3(0.8), fillCol, 0.5), border * 0.8);
    float alpha = inside * mix(0.7, 1.0, filled) * color.a;
    gl_FragColor = vec4(c, alpha);
}
