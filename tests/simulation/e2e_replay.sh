#!/bin/sh
# Replays in the real program: a trace written by the arena opens from the
# command line, "End" shows the winner panel, "Save replay" writes the race
# into replays/ (the same text as the arena's), and the menu's "Replays" list
# opens the saved file. Traces that cannot be read stop the program with
# status 2 and one line of reason.
#   e2e_replay.sh <game binary> <arena binary> <source folder> [screenshot folder]
set -u
binary=$1
arena=$2
source=$3
shots=${4:-}
. "$source/tests/app/gamewindow.sh"
begin_e2e

# The game reads resources/ and writes replays/ in its working folder.
ln -s "$source/resources" "$scratch/resources"
cd "$scratch" || exit 1
"$arena" --track "Long Haul" --races 1 --trace race.jsonl >/dev/null 2>&1 ||
  fail "the arena wrote no trace"

# Unreadable traces: status 2 and a single line, before any window.
echo '{"format":"vuzuder-trace","version":9}' >future.jsonl
for bad in future.jsonl missing.jsonl; do
  "$binary" --replay "$bad" >/dev/null 2>"$scratch/bad.txt"
  status=$?
  [ $status -eq 2 ] || fail "--replay $bad: status $status, expected 2"
  [ "$(wc -l <"$scratch/bad.txt")" -eq 1 ] || fail "--replay $bad: not one line: $(cat "$scratch/bad.txt")"
done

"$binary" --replay race.jsonl >"$scratch/out.txt" 2>"$scratch/err.txt" &
pid=$!
show_game_window $pid "$scratch/err.txt" || exit 1

# The winner panel's "Menu" button shows its plain dark grey.
winner_panel() { area_is 12x4+834+499 "#464646"; }

xdotool mousemove --window "$window" 600 300
sleep 2
winner_panel && fail "the winner panel shows at the start of the replay"
[ -n "$shots" ] && import -window "$window" "$shots/e2e_replay_playing.png"
key End
winner_panel || fail "no winner panel after End"

# "Save replay" in the side panel, under the theme buttons.
xdotool mousemove --window "$window" 1596 135
sleep 0.5
click 1500 232
sleep 1
saved=$(ls replays/*.jsonl 2>/dev/null | head -n 1)
[ -n "$saved" ] || fail "Save replay wrote nothing"
cmp -s "$saved" race.jsonl || fail "the saved replay differs from the trace it shows"

# Back in the menu, "Replays" lists the saved file; the first line opens it.
key Escape
click 1480 792
sleep 0.5
click 1360 755
sleep 1
xdotool mousemove --window "$window" 600 300
sleep 1
winner_panel && fail "the replay chosen in the menu did not start over"
key End
winner_panel || fail "the replay chosen in the menu did not play"

key Escape
click 1480 870
wait_for_exit $pid
[ -n "$status" ] || fail "the game did not quit"
pid=""
[ "$status" -eq 0 ] || fail "exit status $status"
echo "arena trace replayed, saved as $saved (same text), reopened from the menu; bad traces exit 2"
