#!/bin/sh
# The unpacked game with HOME and the XDG folders in a scratch folder: a track
# drawn in the editor and a replay saved from a race land in
# $XDG_DATA_HOME/vuzuder, not in the data folder; the menu lists the new
# track after the shipped ones; the choices come back at the next launch;
# the arena finds the player's track by name.
#   playerfiles.sh <build folder> <source folder> [screenshot folder]
set -u
build=$1
source=$2
shots=${3:-}
. "$source/tests/app/gamewindow.sh"
begin_e2e
deb=$(ls "$build"/vuzuder_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package in $build"
dpkg-deb -x "$deb" "$scratch/root" || fail "dpkg-deb -x failed"
games="$scratch/root/usr/games"
data="$scratch/root/usr/share/games/vuzuder"
mkdir -p "$scratch/elsewhere" "$scratch/home"
cd "$scratch/elsewhere" || exit 1
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/xdg-data" XDG_CONFIG_HOME="$scratch/xdg-config"
unset VUZUDER_DATA
before=$(find "$data" | sort | md5sum)

# In a race past its countdown, "Save replay" from the side panel.
save_replay() {
  sleep 5
  xdotool mousemove --window "$window" $((WIDTH - 4)) 135
  sleep 0.5
  click $((WIDTH - 100)) 232
  sleep 1
}

# Back to the menu and "Quit"; sets $status as wait_for_exit does.
quit_game() {
  key Escape
  click $((WIDTH - 120)) $((HEIGHT - 30))
  wait_for_exit $pid
  pid=""
}

"$games/vuzuder" >"$scratch/out.txt" 2>"$scratch/err.txt" &
pid=$!
show_game_window $pid "$scratch/err.txt" || exit 1
eval "$(xdotool getwindowgeometry --shell "$window")"
cx=$((WIDTH / 2))

# Editor: three checkpoints, a name, "Save", back to the menu.
click $((WIDTH - 120)) $((HEIGHT - 82))
click $((cx - 300)) 300 3
click $((cx + 250)) 350 3
click $cx 650 3
click 110 20
xdotool type --delay 50 "my loop"
sleep 0.3
click 528 20
track="$XDG_DATA_HOME/vuzuder/tracks/my loop.prt"
[ -f "$track" ] || fail "no track in $XDG_DATA_HOME/vuzuder/tracks/"
xdotool key Escape
sleep 1.5
grep -q '^Loaded track my loop.prt$' "$scratch/out.txt" || fail "the menu did not list the new track"

# A race of two steering teams, then "Save replay" from the side panel.
click $((cx - 117)) 465
click $((cx + 117)) 465
click $cx 825
save_replay
replay=$(ls "$XDG_DATA_HOME"/vuzuder/replays/*.jsonl 2>/dev/null | head -n 1)
[ -n "$replay" ] || fail "Save replay wrote nothing in $XDG_DATA_HOME/vuzuder/replays/"
[ -n "$shots" ] && import -window "$window" "$shots/package_race.png"
quit_game
[ "${status:-}" = 0 ] || fail "the game did not quit cleanly (status ${status:-none})"

[ "$(find "$data" | sort | md5sum)" = "$before" ] || fail "the data folder changed"
[ ! -e replays ] && [ ! -e tracks ] || fail "files were written in the working folder"
settings="$XDG_CONFIG_HOME/vuzuder/settings.ini"
grep -qx 'team1 = Steering heuristics' "$settings" || fail "the choices were not saved: $(cat "$settings")"

# Next launch: both teams are still chosen, so "RACE !" starts a race at once.
"$games/vuzuder" >"$scratch/out2.txt" 2>"$scratch/err.txt" &
pid=$!
show_game_window $pid "$scratch/err.txt" || exit 1
click $cx 825
save_replay
[ "$(ls "$XDG_DATA_HOME"/vuzuder/replays/*.jsonl | wc -l)" -eq 2 ] ||
  fail "the remembered choices did not make a race"
quit_game

"$games/vuzuder-arena" --track "my loop" --races 1 >"$scratch/arena.txt" 2>&1 ||
  fail "the arena did not find the player's track: $(cat "$scratch/arena.txt")"
"$games/vuzuder-arena" --list | grep -q 'my loop \[player\]' || fail "--list does not mark the player's track"
echo "track and replays in $XDG_DATA_HOME/vuzuder, data folder untouched, choices kept, arena finds the track"
