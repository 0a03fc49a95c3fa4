#!/usr/bin/env python3
"""The replay page of a race of at least 1500 turns in headless Chromium: the
time from navigation to the first frame drawn and to every turn read (the
page writes them into its root element as data-first-frame and
data-turns-read), and the page's size against the trace's.

Usage: bench_replay_page.py ARENA [RUNS]   (make bench runs it)
"""

import glob
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def main():
    arena = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    browser = shutil.which("chromium")
    if not browser:
        print("no chromium: replay page not measured")
        return 0
    work = tempfile.mkdtemp(prefix="vuzuder-bench-replay-")
    try:
        # Generated tracks are the same on every machine; keep the shortest race of
        # at least 1500 turns.
        subprocess.run([arena, "--random-tracks", "20", "--races", "1", "--no-swap",
                        "--trace-dir", work, "--html-dir", work], check=True,
                       stdout=subprocess.DEVNULL)
        races = []
        for trace in glob.glob(os.path.join(work, "*.jsonl")):
            with open(trace, "rb") as f:
                turns = sum(1 for _ in f) - 1
            if turns >= 1500:
                races.append((turns, trace))
        turns, trace = min(races)
        page = trace[:-len(".jsonl")] + ".html"
        # The same page cut to its first 5 turns: what the browser takes anyway.
        with open(page, encoding="utf-8") as f:
            text = f.read()
        start = text.index("raceFrames([") + len("raceFrames([")
        pods = len(re.search(r'"teamOf":\[([^\]]*)\]', text).group(1).split(","))
        cut = start
        for _ in range(6 * pods * 6):
            cut = text.index(",", cut) + 1
        short = os.path.join(work, "short.html")
        with open(short, "w", encoding="utf-8") as f:
            f.write(text[:cut - 1] + text[text.index("]);", cut):])
        args = [browser, "--headless", "--disable-gpu", "--no-first-run",
                "--window-size=1600,900", "--dump-dom"]
        if os.geteuid() == 0:
            args.append("--no-sandbox")
        first, wall, floor, ready = [], [], [], []
        for k in range(runs):
            for url, times in ((page, first), (short, floor)):
                profile = tempfile.mkdtemp(dir=work)
                start = time.perf_counter()
                dom = subprocess.run(args + ["--user-data-dir=" + profile, "file://" + url],
                                     capture_output=True, check=True).stdout.decode()
                if times is first:
                    wall.append(time.perf_counter() - start)
                    ready.append(float(re.search(r'data-turns-read="([0-9.]+)"', dom).group(1)))
                times.append(float(re.search(r'data-first-frame="([0-9.]+)"', dom).group(1)))
        # Drawing cost: 600 frames at positions across the race, each forced
        # through rasterisation by reading a pixel back (so an upper bound).
        timed = os.path.join(work, "timed.html")
        with open(timed, "w", encoding="utf-8") as f:
            f.write(text.replace("</body>", """<script>
var c = document.getElementById('field').getContext('2d'), n = 600, t0 = performance.now();
for (var k = 0; k < n; k++) { seek((k * 2.37) %% %d); c.getImageData(0, 0, 1, 1); }
document.documentElement.setAttribute('data-draw-ms', ((performance.now() - t0) / n).toFixed(2));
</script></body>""" % turns))
        draw = []
        for k in range(3):
            dom = subprocess.run(args + ["--user-data-dir=" + tempfile.mkdtemp(dir=work),
                                         "file://" + timed],
                                 capture_output=True, check=True).stdout.decode()
            draw.append(float(re.search(r'data-draw-ms="([0-9.]+)"', dom).group(1)))
        print("replay page, %d turns: page %.0f KiB for a trace of %.0f KiB (%.2f x)" % (
            turns, os.path.getsize(page) / 1024, os.path.getsize(trace) / 1024,
            os.path.getsize(page) / os.path.getsize(trace)))
        print("first frame drawn after navigation start: median %.0f ms (%.0f to %.0f, %d runs;"
              " target <= 300 ms)" % (statistics.median(first), min(first), max(first), runs))
        print("every turn read, the race playable: median %.0f ms (%.0f to %.0f)" % (
            statistics.median(ready), min(ready), max(ready)))
        print("the same page cut to 5 turns: median %.0f ms (%.0f to %.0f)" % (
            statistics.median(floor), min(floor), max(floor)))
        print("one frame drawn and rasterised, 1600 x 900: median %.2f ms of 3 runs (%.2f to "
              "%.2f; 16.7 ms for 60 fps)" % (statistics.median(draw), min(draw), max(draw)))
        print("whole chromium run (start-up to DOM dump): median %.2f s" % statistics.median(wall))
        print("load average: %s" % " ".join(open("/proc/loadavg").read().split()[:3]))
        return 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
