#!/bin/sh
# Draws a track in the real program and races on it: "Track editor" from the
# menu, three right clicks, a file name, "Save", Escape; the menu then lists
# the new track, and a race on it starts (its planner threads appear).
# Runs from a copy of resources/ without tracks, so the new track is the only
# one and nothing is left in the repository.
#   e2e_editor.sh <game binary> [screenshot folder]
set -u
binary=$1
shots=${2:-}
source_dir=$(pwd)
scratch=$(mktemp -d)
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
pid=""
trap 'rm -rf "$scratch"; [ -n "$pid" ] && kill $pid 2>/dev/null' EXIT

fail() { echo "$1"; cat "$scratch/out.txt" "$scratch/err.txt" 2>/dev/null | tail -20; exit 1; }

if ! command -v xdotool >/dev/null 2>&1; then
  echo "xdotool is needed"; exit 77
fi

cp -r resources "$scratch/resources"
rm -f "$scratch/resources/tracks/"*
cd "$scratch" || exit 1
"$binary" >"$scratch/out.txt" 2>"$scratch/err.txt" &
pid=$!

. "$source_dir/tests/app/gamewindow.sh"
show_game_window $pid "$scratch/err.txt" || exit 1
eval "$(xdotool getwindowgeometry --shell "$window")"
cx=$((WIDTH / 2))

# "Track editor" sits at (w - 120, h - 82).
click $((WIDTH - 120)) $((HEIGHT - 82))
click $((cx - 300)) 300 3
click $((cx + 250)) 350 3
click $cx 650 3
created=$(grep -c '^Creating new checkpoint at : ' "$scratch/out.txt")
[ "$created" -eq 3 ] || fail "expected 3 new checkpoints, got $created"

# The name box from (10, 10) to about (474, 30), "Save" right of it.
click 110 20
xdotool type --delay 50 "e2e loop"
sleep 0.3
click 528 20
[ -n "$shots" ] && import -window "$window" "$shots/e2e_editor.png"
file="$scratch/resources/tracks/e2e loop.prt"
[ -f "$file" ] || fail "no track file written"
lines=$(wc -l <"$file")
[ "$lines" -eq 4 ] || fail "the track file has $lines lines, expected a name and 3 checkpoints"

xdotool key Escape
sleep 1.5
grep -q '^Loaded track e2e loop.prt$' "$scratch/out.txt" || fail "the menu did not load the new track"

# The only track: its button is centred under "TRACKS". Team 1 "Steering
# heuristics", team 2 "Genetic (separate)" (two planner threads), "RACE !".
menu_threads=$(threads)
click $cx 750
click $((cx - 117)) 465
click $((cx + 117)) 585
click $cx 825
tries=0
race_threads=$(threads)
while [ "$race_threads" -le "$menu_threads" ]; do
  tries=$((tries + 1))
  [ $tries -lt 60 ] ||
    fail "no race started ($menu_threads threads in the menu, $race_threads after RACE !)"
  sleep 0.25
  race_threads=$(threads)
done

# Escape to the menu, then "Quit".
xdotool key Escape
sleep 1
click $((WIDTH - 120)) $((HEIGHT - 30))
wait_for_exit $pid
[ -n "$status" ] || fail "the game did not quit"
pid=""
[ "$status" -eq 0 ] || fail "exit status $status"
echo "track drawn, saved ($lines lines), listed and raced; quit with status 0"
