#!/bin/sh
# Starts the game from the repository, waits for its window, checks that the
# tracks were loaded, clicks "Quit" and expects a clean exit.
#   smoke_menu.sh <vuzuder binary> [--without-icon]
# --without-icon runs from a copy of resources/ without icon.png: the game
# must report it and still run.
set -u
binary=$1
mode=${2:-}
workdir=$(pwd)
scratch=$(mktemp -d)
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
trap 'rm -rf "$scratch"' EXIT

if [ "$mode" = "--without-icon" ]; then
  cp -r resources "$scratch/resources"
  rm "$scratch/resources/icon.png"
  workdir=$scratch
fi

cd "$workdir" || exit 1
"$binary" >"$scratch/out.txt" 2>"$scratch/err.txt" &
pid=$!

. "$(dirname "$0")/gamewindow.sh"
find_game_window $pid "$scratch/err.txt" || { kill $pid 2>/dev/null; exit 1; }

# Let the menu draw a few frames, then check what it printed.
sleep 1
expected=$(find resources/tracks -maxdepth 1 -type f -name '*.prt' | wc -l)
loaded=$(grep -c '^Loaded track ' "$scratch/out.txt")
if [ "$loaded" -ne "$expected" ]; then
  echo "expected $expected 'Loaded track' lines, got $loaded:"; cat "$scratch/out.txt"
  kill $pid; exit 1
fi
if [ "$mode" = "--without-icon" ] && ! grep -q 'Assert Failure' "$scratch/out.txt"; then
  echo "the missing icon was not reported"; kill $pid; exit 1
fi

# Without a window manager the window lands anywhere, partly off screen:
# bring it to the corner, and onto a screen smaller than the window shrink it
# (the game keeps at least 1280 x 850). "Quit" sits at (w - 120, h - 30).
xdotool windowmove "$window" 0 0
eval "$(xdotool getdisplaygeometry --shell | sed 's/^/SCREEN_/')"
if [ "$SCREEN_WIDTH" -lt 1600 ] || [ "$SCREEN_HEIGHT" -lt 900 ]; then
  xdotool windowsize "$window" 1280 850
fi
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
x=$((WIDTH - 120))
y=$((HEIGHT - 30))
# Other test programs may map windows over this one: the press and release
# are sent to the game's window itself, the pointer is read relative to it.
# The pointer moves first so that the menu sees it hover before the press; a
# click lost to another window is tried again.
status=""
for attempt in 1 2 3; do
  xdotool windowraise "$window" 2>/dev/null
  xdotool mousemove --window "$window" $x $y
  sleep 0.5
  xdotool click --window "$window" 1
  tries=0
  while [ $tries -lt 40 ]; do
    if ! kill -0 $pid 2>/dev/null; then
      wait $pid
      status=$?
      break 2
    fi
    sleep 0.25
    tries=$((tries + 1))
  done
done
if [ -z "$status" ]; then
  echo "the game did not quit"; kill $pid; exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "exit status $status"; cat "$scratch/err.txt"; exit 1
fi
echo "window $window, $loaded tracks, quit with status 0"
