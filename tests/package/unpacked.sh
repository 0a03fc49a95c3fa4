#!/bin/sh
# The package unpacked into a scratch root (dpkg-deb -x) and run from an
# unrelated folder: the programs find their data beside them, the arena
# plays a short tournament, the game opens its menu and quits (with home
# folders it cannot use). A program
# without any data says where it looked, on one line, with status 2.
#   unpacked.sh <build folder> <source folder>
set -u
build=$1
source=$2
. "$source/tests/app/gamewindow.sh"
begin_e2e
deb=$(ls "$build"/vuzuder_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package in $build"
dpkg-deb -x "$deb" "$scratch/root" || fail "dpkg-deb -x failed"
games="$scratch/root/usr/games"
mkdir -p "$scratch/elsewhere" "$scratch/home"
cd "$scratch/elsewhere" || exit 1
export HOME="$scratch/home"
unset VUZUDER_DATA

"$games/vuzuder-arena" --version | grep -q '^vuzuder-arena [0-9]' || fail "arena --version"
"$games/vuzuder" --version | grep -q '^vuzuder [0-9]' || fail "game --version"
"$games/vuzuder" --help | grep -q -- '--replay' || fail "game --help"
"$games/vuzuder-arena" --track Boomerang --track "Long Haul" --races 1 --jobs 2 \
  >"$scratch/arena.txt" 2>"$scratch/err.txt" || fail "the unpacked arena failed"
grep -q 'Boomerang' "$scratch/arena.txt" || fail "no Boomerang in the arena's report"
grep -q '^  total' "$scratch/arena.txt" || fail "no total in the arena's report"

# The same programs copied away from their data.
mkdir "$scratch/lonely"
cp "$games/vuzuder-arena" "$games/vuzuder" "$scratch/lonely/"
for program in vuzuder vuzuder-arena; do
  "$scratch/lonely/$program" >/dev/null 2>"$scratch/nodata.txt"
  status=$?
  [ $status -eq 2 ] || fail "$program without data: status $status, expected 2"
  [ "$(wc -l <"$scratch/nodata.txt")" -eq 1 ] || fail "$program without data: $(cat "$scratch/nodata.txt")"
  grep -q "$scratch/share/games/vuzuder" "$scratch/nodata.txt" ||
    fail "$program does not say where it looked: $(cat "$scratch/nodata.txt")"
done

# Home folders that cannot be used (a file stands where they should be): the
# game still plays, and says once that it could not keep its settings.
touch "$scratch/not-a-folder"
XDG_CONFIG_HOME="$scratch/not-a-folder" XDG_DATA_HOME="$scratch/not-a-folder" \
  "$games/vuzuder" >"$scratch/out.txt" 2>"$scratch/err.txt" &
pid=$!
show_game_window $pid "$scratch/err.txt" || exit 1
eval "$(xdotool getwindowgeometry --shell "$window")"
grep -q '^Loaded track boomerang.prt$' "$scratch/out.txt" || fail "the menu loaded no shipped track"
click $((WIDTH - 120)) $((HEIGHT - 30))
wait_for_exit $pid
[ -n "$status" ] || fail "the game did not quit"
pid=""
[ "$status" -eq 0 ] || fail "exit status $status"
[ "$(grep -c 'settings not saved' "$scratch/err.txt")" -eq 1 ] ||
  fail "no single line about the settings that could not be saved"
echo "unpacked arena raced, unpacked game opened its menu and quit; no data: status 2, one line"
