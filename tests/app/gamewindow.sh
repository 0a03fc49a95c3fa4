# Sourced by the end-to-end scripts: finds the game's window, drives it with
# xdotool and waits for the game's exit.

# Sets $scratch, a folder removed on exit together with the game ($pid) if it
# still runs; defines fail, which shows the game's standard error; skips the
# test (77) without xdotool or ImageMagick's import.
#   begin_e2e
begin_e2e() {
  scratch=$(mktemp -d)
  # The game remembers its choices: each run starts from none.
  export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
  pid=""
  trap 'rm -rf "$scratch"; [ -n "$pid" ] && kill $pid 2>/dev/null' EXIT
  fail() { echo "$1"; [ -f "$scratch/err.txt" ] && cat "$scratch/err.txt"; exit 1; }
  if ! command -v import >/dev/null 2>&1 || ! command -v xdotool >/dev/null 2>&1; then
    echo "xdotool and ImageMagick's import are needed"; exit 77
  fi
}
# The game's window is the one that keeps the title: test programs under the
# same display rename theirs right after start-up, and the window has no
# process id property. Sets $window, or fails after about a minute.
#   find_game_window <pid> <error file>
find_game_window() {
  window=""
  tries=0
  while [ -z "$window" ] && [ $tries -lt 240 ]; do
    if ! kill -0 "$1" 2>/dev/null; then
      echo "the game ended before showing its window"; cat "$2"; return 1
    fi
    for candidate in $(xdotool search --name "^Vuzuder UR$" 2>/dev/null); do
      sleep 0.5
      if [ "$(xdotool getwindowname "$candidate" 2>/dev/null)" = "Vuzuder UR" ]; then
        window=$candidate
        break
      fi
    done
    [ -z "$window" ] && sleep 0.25
    tries=$((tries + 1))
  done
  [ -n "$window" ] || { echo "no window named Vuzuder UR"; return 1; }
}

# Waits up to 30 s for the game to end; sets $status to its exit status, or
# leaves it empty when the game is still running.
#   wait_for_exit <pid>
wait_for_exit() {
  status=""
  tries=0
  while [ $tries -lt 120 ]; do
    if ! kill -0 "$1" 2>/dev/null; then
      wait "$1"
      status=$?
      return
    fi
    sleep 0.25
    tries=$((tries + 1))
  done
}

# Finds the game's window and brings it to the screen's corner: without a
# window manager it lands anywhere, partly off screen.
#   show_game_window <pid> <error file>
show_game_window() {
  find_game_window "$1" "$2" || return 1
  xdotool windowmove "$window" 0 0
  sleep 1
}

# Hover first, then click: the GUI takes a press only over a hovered node.
#   click <x> <y> [button]
click() {
  xdotool mousemove --window "$window" "$1" "$2"
  sleep 0.3
  xdotool mousemove --window "$window" "$1" "$2" click "${3:-1}"
  sleep 0.3
}

key() { xdotool key --window "$window" "$1"; sleep 0.5; }

threads() { ls /proc/$pid/task | wc -l; }

# True when the pixels of a window area are all of one colour (hex).
#   area_is <WxH+X+Y> <colour>
area_is() {
  import -window "$window" -crop "$1" txt:- 2>/dev/null | tail -n +2 |
    awk -v want="$2" '{ if (index($0, want) == 0) bad = 1; n++ } END { exit (n > 0 && !bad) ? 0 : 1 }'
}
