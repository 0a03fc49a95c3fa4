#!/bin/sh
# Plays a race from start to finish in the real program: two computer teams,
# "RACE !", speed "x4" from the side panel, waits for the winner panel,
# "Menu", then "Quit". Expects exit status 0, and that the planner threads of
# the race are gone once back in the menu.
#   e2e_race.sh <game binary> [screenshot folder]
set -u
binary=$1
shots=${2:-}
. "$(dirname "$0")/../app/gamewindow.sh"
begin_e2e

"$binary" >"$scratch/out.txt" 2>"$scratch/err.txt" &
pid=$!

show_game_window $pid "$scratch/err.txt" || exit 1

menu_threads=$(threads)
# Team 1 "Steering heuristics", team 2 "Genetic (separate)" (two planner
# threads), then "RACE !".
click 683 465
click 917 585
click 800 825

# The side panel opens at the right edge; "x4" is its sixth speed button.
xdotool mousemove --window "$window" 1596 148
sleep 0.5
click 1573 148
sleep 2
race_threads=$(threads)
[ "$race_threads" -gt "$menu_threads" ] ||
  fail "no planner thread started ($menu_threads threads in the menu, $race_threads racing)"
[ -n "$shots" ] && import -window "$window" "$shots/e2e_race_in_progress.png"

# The winner panel's "Menu" button (150 x 28 at (905, 511)) shows its plain
# dark grey once the race is over.
xdotool mousemove --window "$window" 600 300
tries=0
while ! area_is 12x4+834+499 "#464646"; do
  kill -0 $pid 2>/dev/null || fail "the game ended during the race"
  tries=$((tries + 1))
  [ $tries -lt 300 ] || fail "no winner panel after 300 s"
  sleep 1
done
[ -n "$shots" ] && import -window "$window" "$shots/e2e_winner_panel.png"

click 905 511
sleep 1
after=$(threads)
[ "$after" -le "$menu_threads" ] ||
  fail "threads left after the race: $after (menu had $menu_threads)"

# Back in the menu: "Quit".
click 1480 870
wait_for_exit $pid
[ -n "$status" ] || fail "the game did not quit"
pid=""
[ "$status" -eq 0 ] || fail "exit status $status"
echo "race played to the winner panel; $menu_threads threads in the menu, $race_threads racing, $after back in the menu; quit with status 0"
