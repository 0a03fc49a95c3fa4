#!/usr/bin/env python3
"""The arena's web pages in headless Chromium: a small league's report and one
race's replay page, fed names that carry markup.

Usage: test_html_pages.py ARENA BOT. Exits 77 (skipped) without chromium."""

import html.parser
import json
import os
import shutil
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

SKIP = 77
BOT_NAME = "<script>alert('bot')</script> \"Zoë\" & co"
TRACK_NAME = "Piste <b>\"été\"</b> & 'Ω'"


class Dom(html.parser.HTMLParser):
    """Elements (tag, attributes, own text) in document order."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.elements = []
        self.stack = []
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        element = {"tag": tag, "attrs": dict(attrs), "text": "",
                   "parents": [e["tag"] + "#" + e["attrs"].get("id", "") for e in self.stack]}
        self.elements.append(element)
        if tag not in ("meta", "link", "br", "input", "img", "circle", "line", "rect"):
            self.stack.append(element)

    def handle_endtag(self, tag):
        if all(e["tag"] != tag for e in self.stack):
            return
        while self.stack:
            if self.stack.pop()["tag"] == tag:
                break

    def handle_data(self, data):
        for element in self.stack:
            element["text"] += data

    def find(self, tag, within=None, cls=None, id_=None):
        return [e for e in self.elements if e["tag"] == tag
                and (within is None or within in e["parents"])
                and (cls is None or cls in e["attrs"].get("class", "").split())
                and (id_ is None or e["attrs"].get("id") == id_)]


def chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


def browse(browser, work, url, *extra):
    profile = tempfile.mkdtemp(dir=work)
    args = [browser, "--headless", "--disable-gpu", "--no-first-run", "--mute-audio",
            "--user-data-dir=" + profile, "--window-size=1280,850"]
    if os.geteuid() == 0:
        args.append("--no-sandbox")
    run = subprocess.run(args + list(extra) + [url], capture_output=True, timeout=120)
    return run.stdout.decode("utf-8"), run.stderr.decode("utf-8", "replace")


def check(condition, message):
    if not condition:
        print("FAIL:", message)
        sys.exit(1)


def main():
    arena, bot = sys.argv[1], sys.argv[2]
    browser = chromium()
    if browser is None:
        print("SKIP: no chromium on this machine; the web pages were not checked")
        return SKIP
    work = tempfile.mkdtemp(prefix="vuzuder-html-")
    try:
        track = os.path.join(work, "evil.prt")
        with open(track, "w", encoding="utf-8") as f:
            f.write(TRACK_NAME + "\n0 [-5000,-2000] 200\n1 [5000,-2000] 200\n2 [0,3000] 200\n")
        run = subprocess.run(
            [arena, "--league", "--races", "1", "--think-evals", "20", "--track", track,
             "--bot", BOT_NAME + "=" + bot, "--drivers", BOT_NAME,
             "--drivers", "Steering heuristics", "--drivers", "Genetic",
             "--json", os.path.join(work, "league.json"),
             "--html", os.path.join(work, "league.html"),
             "--trace-dir", os.path.join(work, "traces")],
            capture_output=True, timeout=300)
        check(run.returncode == 0, "the arena failed: " + run.stderr.decode())
        with open(os.path.join(work, "league.json"), encoding="utf-8") as f:
            summary = json.load(f)["league"]
        n = len(summary["drivers"])
        with open(os.path.join(work, "league.html"), encoding="utf-8") as f:
            links = [e["attrs"]["href"] for e in Dom(f.read()).find("a")]
        check(len(links) == 2 * n * (n - 1) // 2, "one replay link per race: %r" % links)
        replay = "file://" + os.path.join(work, links[0])

        with ThreadPoolExecutor(4) as pool:
            league = pool.submit(browse, browser, work, "file://" + work + "/league.html",
                                 "--dump-dom")
            shots = [pool.submit(browse, browser, work, replay, "--virtual-time-budget=%d" % t,
                                 "--screenshot=" + os.path.join(work, "shot%d.png" % t))
                     for t in (200, 4000)]
            seeked = pool.submit(browse, browser, work, replay + "#turn=37",
                                 "--virtual-time-budget=500", "--enable-logging=stderr", "--v=0",
                                 "--dump-dom")

        dom = Dom(league.result()[0])
        check(len(dom.find("rect", within="svg#ratings", cls="bar")) == n,
              "one rating bar per driver")
        check(len(dom.find("rect", within="svg#heatmap", cls="cell")) == n * n,
              "n x n matrix cells")
        rows = [[c["text"] for c in dom.find("td", within="table#ranking-table")][k:k + 8]
                for k in range(0, 8 * n, 8)]
        for row, rank in zip(rows, summary["ranking"]):
            low, high = rank["elo95"]
            check(row[1] == rank["driver"], "ranking order %r / %r" % (row[1], rank["driver"]))
            check(row[2] == "%+.0f [%+.0f, %+.0f]" % (rank["elo"], low, high),
                  "Elo of %s: %r" % (rank["driver"], row[2]))
            check(row[3:7] == [str(rank[k]) for k in ("races", "wins", "draws", "losses")],
                  "totals of %s" % rank["driver"])
        cells = [c["text"] for c in dom.find("td", within="table#matrix-table")]
        for i in range(n):
            for j in range(n):
                c = summary["matrix"][i][j]
                want = "-" if c is None else "%.0f%% [%.0f, %.0f] %d" % (
                    100 * c["winRate"], 100 * c["wilson95"][0], 100 * c["wilson95"][1],
                    c["races"])
                check(cells[i * n + j] == want, "matrix %d,%d: %r, JSON %r" % (
                    i, j, cells[i * n + j], want))
        texts = " ".join(e["text"] for e in dom.find("body"))
        check(BOT_NAME in texts and TRACK_NAME in texts, "the names show as they are")
        check(not dom.find("script") and not dom.find("b"), "names never become markup")

        one, two = (open(os.path.join(work, "shot%d.png" % t), "rb").read() for t in (200, 4000))
        check(len(one) > 1000 and one != two, "the replay moves between two screenshots")
        page, log = seeked.result()
        dom = Dom(page)
        turn = dom.find("span", id_="turn")
        check(turn and turn[0]["text"] == "37", "the turn counter after a seek: %r" % turn)
        check(TRACK_NAME in dom.find("h1")[0]["text"], "the track name as text")
        errors = dom.find("pre", id_="errors")
        check(errors and not errors[0]["text"] and "hidden" in errors[0]["attrs"],
              "no script error: %r" % errors)
        check("Uncaught" not in log, "no uncaught error on the console")
        print("ok: %d drivers, %d replay links, turn counter at 37" % (n, len(links)))
        return 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
