#pragma once

// The replay page's style and script, inlined into every page so that it
// works offline from a file.

namespace pod::arena::replayassets {

inline constexpr const char* kStyle = R"CSS(
:root { color-scheme: dark; }
* { box-sizing: border-box; }
body { margin: 0; padding: 12px 16px; background: #070b14; color: #dfe6ef;
  font: 14px/1.4 system-ui, "DejaVu Sans", sans-serif; }
header { display: flex; align-items: baseline; gap: 16px; flex-wrap: wrap; }
h1 { font-size: 20px; margin: 0 0 8px; }
#teams { margin: 0; }
.team { font-weight: bold; }
.t0 { color: #78beff; } .t1 { color: #ff8c6e; } .t2 { color: #8fdc8f; } .t3 { color: #ffe080; }
main { display: flex; gap: 16px; align-items: flex-start; }
#stage { flex: 1 1 auto; min-width: 0; }
canvas#field { display: block; border-radius: 6px; box-shadow: 0 0 0 1px #24304a; }
aside { flex: 0 0 230px; }
aside p { margin: 0 0 8px; }
#turn { font-variant-numeric: tabular-nums; font-weight: bold; font-size: 18px; }
#order { margin: 0; padding-left: 22px; }
#order li { margin: 2px 0; }
.chip { display: inline-block; width: 10px; height: 10px; border-radius: 50%; margin-right: 6px; }
.dim { color: #8a97aa; }
#result { padding: 6px 8px; border-radius: 4px; background: #1b2a44; font-weight: bold; }
#controls { display: flex; align-items: center; gap: 8px; margin-top: 10px; flex-wrap: wrap; }
button, select { background: #1b2a44; color: #dfe6ef; border: 1px solid #34496e; border-radius: 4px;
  padding: 4px 10px; font: inherit; cursor: pointer; }
button:hover { background: #25395c; }
#bar { position: relative; flex: 1 1 300px; height: 28px; }
#marks { position: absolute; left: 0; top: 0; width: 100%; height: 8px; pointer-events: none; }
#scrub { position: absolute; left: 0; top: 8px; width: 100%; margin: 0; }
.keys { color: #8a97aa; font-size: 12px; margin: 6px 0 0; }
#errors { color: #ff8c6e; white-space: pre-wrap; }
@media (max-width: 900px) { main { flex-direction: column; } aside { flex-basis: auto; } }
)CSS";

inline constexpr const char* kScript = R"JS(
(function () {
  'use strict';
  var errors = document.getElementById('errors');
  window.addEventListener('error', function (e) {
    errors.hidden = false;
    errors.textContent += 'Error: ' + e.message + '\n';
  });
  var R = RACE, K = 6, P = R.teamOf.length;
  // Until the turns arrive (their script follows this one) the start is shown.
  var frames = R.start, last = 0, loaded = false;
  var nCp = R.cp.length / 2;
  // Turns a second at x1: x2 and x4 then play as fast as the game's x2 and x4.
  var PER_SECOND = 12.5;
  var TEAM = ['#3e84d6', '#d44e3c', '#3f9f4a', '#c99a1c'];
  var EDGE = ['#78beff', '#ff8c6e', '#8fdc8f', '#ffe080'];
  var names = [].map.call(document.querySelectorAll('#teams .team'), function (e) {
    return e.textContent;
  });
  var $ = function (id) { return document.getElementById(id); };
  var cv = $('field'), ctx = cv.getContext('2d');
  var marks = $('marks'), mctx = marks.getContext('2d');
  var turnEl = $('turn'), clockEl = $('clock'), orderEl = $('order'), resultEl = $('result');
  var scrub = $('scrub'), playBtn = $('play'), speedSel = $('speed');
  var pos = 0, playing = true, shownTurn = -1, lastTime = null, scale = 1, bg = null, dirty = true;

  var hits = [];
  for (var h = 0; h + 3 < R.hits.length; h += 4)
    hits.push({ at: R.hits[h] - 1 + R.hits[h + 1] / R.turnTime, x: R.hits[h + 2], y: R.hits[h + 3] });

  function v(frame, pod, k) { return frames[(frame * P + pod) * K + k]; }
  function clamp(x) { return Math.max(0, Math.min(last, x)); }

  function background() {
    var c = document.createElement('canvas');
    c.width = cv.width;
    c.height = cv.height;
    var g = c.getContext('2d');
    g.fillStyle = '#0d1320';
    g.fillRect(0, 0, c.width, c.height);
    g.setTransform(scale, 0, 0, scale, -R.field[0] * scale, -R.field[1] * scale);
    g.strokeStyle = 'rgba(255,255,255,0.05)';
    g.lineWidth = 1 / scale;
    g.beginPath();
    var x1 = R.field[0] + R.field[2], y1 = R.field[1] + R.field[3];
    for (var x = Math.ceil(R.field[0] / 1000) * 1000; x < x1; x += 1000) { g.moveTo(x, R.field[1]); g.lineTo(x, y1); }
    for (var y = Math.ceil(R.field[1] / 1000) * 1000; y < y1; y += 1000) { g.moveTo(R.field[0], y); g.lineTo(x1, y); }
    g.stroke();
    g.textAlign = 'center';
    g.textBaseline = 'middle';
    g.font = 'bold 360px system-ui, "DejaVu Sans", sans-serif';
    for (var i = 0; i < nCp; i++) {
      var cx = R.cp[2 * i], cy = R.cp[2 * i + 1];
      g.beginPath();
      g.arc(cx, cy, R.reach, 0, 2 * Math.PI);
      g.fillStyle = 'rgba(240,200,90,0.08)';
      g.fill();
      g.lineWidth = i === 0 ? 90 : 50;
      g.strokeStyle = i === 0 ? 'rgba(255,255,255,0.85)' : 'rgba(240,200,90,0.75)';
      g.stroke();
      g.fillStyle = 'rgba(240,200,90,0.9)';
      g.fillText(String(i), cx, cy);
    }
    return c;
  }

  function drawMarks() {
    var w = marks.clientWidth, dpr = window.devicePixelRatio || 1;
    marks.width = Math.max(1, Math.round(w * dpr));
    marks.height = Math.round(8 * dpr);
    mctx.fillStyle = '#ffe146';
    for (var i = 0; i < hits.length; i++) {
      var x = last > 0 ? hits[i].at / last * marks.width : 0;
      mctx.fillRect(Math.round(x), 0, Math.max(1, Math.round(dpr)), marks.height);
    }
  }

  function resize() {
    var width = Math.max(320, $('stage').clientWidth);
    var height = width * R.field[3] / R.field[2];
    var room = Math.max(240, window.innerHeight - 150);
    if (height > room) { height = room; width = height * R.field[2] / R.field[3]; }
    var dpr = window.devicePixelRatio || 1;
    cv.style.width = width + 'px';
    cv.style.height = height + 'px';
    cv.width = Math.round(width * dpr);
    cv.height = Math.round(height * dpr);
    scale = cv.width / R.field[2];
    bg = null;
    drawMarks();
    draw();
  }

  function angleBetween(a, b, t) { return a + ((((b - a) % 360) + 540) % 360 - 180) * t; }

  function circle(x, y, r) { ctx.beginPath(); ctx.arc(x, y, r, 0, 2 * Math.PI); }

  function draw() {
    dirty = false;
    if (!bg) bg = background();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.drawImage(bg, 0, 0);
    ctx.setTransform(scale, 0, 0, scale, -R.field[0] * scale, -R.field[1] * scale);
    ctx.font = 'bold 300px system-ui, "DejaVu Sans", sans-serif';
    ctx.textAlign = 'center';
    ctx.textBaseline = 'middle';
    var i = Math.min(Math.floor(pos), last), j = Math.min(i + 1, last), t = pos - i;
    var now = t > 0 ? j : i;
    for (var p = 0; p < P; p++) {
      var x = v(i, p, 0) + (v(j, p, 0) - v(i, p, 0)) * t;
      var y = v(i, p, 1) + (v(j, p, 1) - v(i, p, 1)) * t;
      var a = angleBetween(v(i, p, 2), v(j, p, 2), t) * Math.PI / 180;
      var dx = Math.cos(a), dy = Math.sin(a), team = R.teamOf[p] % 4;
      var thrust = v(now, p, 3), shield = v(now, p, 4);
      if (thrust > 0) {
        var len = 400 + 900 * Math.min(1, thrust / 200);
        ctx.beginPath();
        ctx.moveTo(x - dx * 300 - dy * 220, y - dy * 300 + dx * 220);
        ctx.lineTo(x - dx * len, y - dy * len);
        ctx.lineTo(x - dx * 300 + dy * 220, y - dy * 300 - dx * 220);
        ctx.fillStyle = 'rgba(255,170,60,0.9)';
        ctx.fill();
      }
      circle(x, y, R.podRadius);
      ctx.fillStyle = TEAM[team];
      ctx.fill();
      ctx.lineWidth = 60;
      ctx.strokeStyle = EDGE[team];
      ctx.stroke();
      ctx.beginPath();
      ctx.moveTo(x, y);
      ctx.lineTo(x + dx * R.podRadius * 1.3, y + dy * R.podRadius * 1.3);
      ctx.lineWidth = 80;
      ctx.strokeStyle = '#ffffff';
      ctx.stroke();
      ctx.fillStyle = '#ffffff';
      ctx.fillText(String(p + 1), x - dx * 150, y - dy * 150);
      if (shield > 0) {
        circle(x, y, R.podRadius + 140);
        ctx.lineWidth = 90;
        ctx.strokeStyle = 'rgba(150,225,255,' + (0.35 + 0.65 * Math.min(1, shield / 3)).toFixed(3) + ')';
        ctx.stroke();
      }
    }
    // Over the pods: the impact is between them.
    for (var k = 0; k < hits.length; k++) {
      var age = (pos - hits[k].at) / 2;
      if (age < 0 || age > 1) continue;
      circle(hits[k].x, hits[k].y, 300 + 800 * age);
      ctx.lineWidth = 100;
      ctx.strokeStyle = 'rgba(255,225,70,' + (1 - age).toFixed(3) + ')';
      ctx.stroke();
    }
    showTurn(i);
  }

  function beats(f, a, b) {
    var ca = v(f, a, 5), cb = v(f, b, 5);
    if (ca !== cb) return ca > cb;
    var next = (ca + 1) % nCp, cx = R.cp[2 * next], cy = R.cp[2 * next + 1];
    return Math.hypot(cx - v(f, b, 0), cy - v(f, b, 1)) > Math.hypot(cx - v(f, a, 0), cy - v(f, a, 1));
  }

  function showTurn(turn) {
    if (turn === shownTurn) return;
    shownTurn = turn;
    turnEl.textContent = String(turn);
    clockEl.textContent = (turn * R.turnTime).toFixed(2) + ' s';
    var ids = [];
    for (var p = 0; p < P; p++) {
      var at = 0;
      while (at < ids.length && !beats(turn, p, ids[at])) at++;
      ids.splice(at, 0, p);
    }
    var items = orderEl.children;
    for (var r = 0; r < P; r++) {
      var id = ids[r], team = R.teamOf[id], cleared = v(turn, id, 5);
      var li = items[r];
      li.firstChild.style.background = TEAM[team % 4];
      li.childNodes[1].textContent = (names[team] || 'team ' + (team + 1)) + ' ';
      li.childNodes[2].textContent = 'pod ' + (id + 1) + ' \u00b7 lap ' +
          Math.min(R.laps, Math.floor(cleared / nCp) + 1) + '/' + R.laps + ' \u00b7 ' + cleared + ' cp';
    }
    resultEl.hidden = !loaded || turn < last;
  }

  function setPlaying(on) {
    playing = on;
    playBtn.textContent = on ? 'Pause' : 'Play';
    lastTime = null;
  }

  function seek(n) {
    pos = clamp(Number(n) || 0);
    setPlaying(false);
    scrub.value = String(pos);
    draw();
  }
  window.seek = seek;

  function step(d) {
    seek(d > 0 ? Math.floor(pos) + 1 : Math.ceil(pos) - 1);
  }

  function toggle() {
    if (!playing && pos >= last) pos = 0;
    setPlaying(!playing);
  }

  function changeSpeed(d) {
    var i = Math.max(0, Math.min(speedSel.options.length - 1, speedSel.selectedIndex + d));
    speedSel.selectedIndex = i;
  }

  function tick(now) {
    if (playing && loaded) {
      if (lastTime !== null) {
        pos += (now - lastTime) / 1000 * PER_SECOND * Number(speedSel.value);
        if (pos >= last) { pos = last; setPlaying(false); }
        scrub.value = String(pos);
      }
      lastTime = now;
      dirty = true;
    }
    if (dirty) draw();
    requestAnimationFrame(tick);
  }

  for (var r = 0; r < P; r++) {
    var li = document.createElement('li');
    var chip = document.createElement('span');
    chip.className = 'chip';
    var name = document.createElement('span');
    var detail = document.createElement('span');
    detail.className = 'dim';
    li.appendChild(chip);
    li.appendChild(name);
    li.appendChild(detail);
    orderEl.appendChild(li);
  }
  function clicked(action) {
    return function (e) { action(); if (e.detail > 0) e.currentTarget.blur(); };
  }
  playBtn.addEventListener('click', clicked(toggle));
  $('back').addEventListener('click', clicked(function () { step(-1); }));
  $('fwd').addEventListener('click', clicked(function () { step(1); }));
  scrub.addEventListener('input', function () { pos = clamp(Number(scrub.value)); dirty = true; });
  document.addEventListener('keydown', function (e) {
    if (e.altKey || e.ctrlKey || e.metaKey) return;
    var tag = e.target && e.target.tagName;
    if (e.key === ' ' && tag === 'BUTTON') return;
    switch (e.key) {
      case ' ': toggle(); break;
      case 'ArrowLeft': step(-1); break;
      case 'ArrowRight': step(1); break;
      case 'Home': seek(0); break;
      case 'End': seek(last); break;
      case '+': changeSpeed(1); break;
      case '-': changeSpeed(-1); break;
      default: return;
    }
    e.preventDefault();
  });
  function fromHash() {
    var m = /turn=(\d+)/.exec(location.hash);
    if (m) seek(Number(m[1]));
  }
  window.addEventListener('hashchange', fromHash);
  window.addEventListener('resize', resize);
  window.raceFrames = function (all) {
    frames = all;
    last = all.length / (K * P) - 1;
    loaded = true;
    $('turns').textContent = String(last);
    scrub.max = String(last);
    shownTurn = -1;
    drawMarks();
    dirty = true;
    fromHash();
    document.documentElement.setAttribute('data-turns-read', performance.now().toFixed(1));
  };
  resize();
  document.documentElement.setAttribute('data-first-frame', performance.now().toFixed(1));
  requestAnimationFrame(tick);
})();
)JS";

} // namespace pod::arena::replayassets
