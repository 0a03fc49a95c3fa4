#!/bin/sh
# The effects showcase in the real program: "VFX Breakdown" from the menu,
# all six pages through ">" with a capture of each (six different images),
# "Menu", then "Quit" from the menu, which only works if "Menu" led there.
#   e2e_vfx.sh <game binary> [screenshot folder]
set -u
binary=$1
shots=${2:-}
. "$(dirname "$0")/../app/gamewindow.sh"
begin_e2e

"$binary" >"$scratch/out.txt" 2>"$scratch/err.txt" &
pid=$!

show_game_window $pid "$scratch/err.txt" || exit 1

# A capture's pixels, hashed: equal images give equal signatures.
capture() {
  import -window "$window" "$scratch/$1.png" || fail "no capture of $1"
  [ -n "$shots" ] && cp "$scratch/$1.png" "$shots/e2e_vfx_$1.png"
  identify -format '%#' "$scratch/$1.png"
}

geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ { print $2 }')
w=${geometry%x*}
h=${geometry#*x}
cx=$((w / 2))

menu=$(capture menu)
# "VFX Breakdown" at (w - 120, h - 56).
click $((w - 120)) $((h - 56))
sleep 1

signatures=""
page=0
while [ $page -lt 6 ]; do
  [ $page -gt 0 ] && click $((cx + 100)) 60
  sleep 0.7
  kill -0 $pid 2>/dev/null || fail "the game ended on page $page"
  signature=$(capture "page$page")
  [ "$signature" != "$menu" ] || fail "page $page looks like the menu"
  case " $signatures " in
    *" $signature "*) fail "page $page looks like an earlier page" ;;
  esac
  signatures="$signatures $signature"
  page=$((page + 1))
done

# "Menu" at (w - 120, h - 30); in the menu the same place is "Quit".
click $((w - 120)) $((h - 30))
sleep 1
kill -0 $pid 2>/dev/null || fail "the game ended on leaving the showcase"
click $((w - 120)) $((h - 30))
wait_for_exit $pid
[ -n "$status" ] || fail "\"Menu\" did not lead back to the menu (\"Quit\" did nothing)"
pid=""
[ "$status" -eq 0 ] || fail "exit status $status"
echo "six different pages captured; back in the menu and quit with status 0"
