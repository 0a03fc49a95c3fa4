#!/bin/sh
# Without a display, and with DISPLAY naming one that does not answer, the
# game says so on one line and exits with 1 instead of aborting.
#   smoke_no_display.sh <vuzuder binary>
set -u
binary=$1
for display in "" ":9173"; do
  if [ -z "$display" ]; then
    env -u DISPLAY -u WAYLAND_DISPLAY timeout 60 "$binary" >/dev/null 2>err.txt
  else
    env -u WAYLAND_DISPLAY DISPLAY="$display" timeout 60 "$binary" >/dev/null 2>err.txt
  fi
  status=$?
  if [ $status -ne 1 ] || ! grep -q '^No display found' err.txt; then
    echo "DISPLAY='$display': status $status"; cat err.txt; rm -f err.txt; exit 1
  fi
done
rm -f err.txt
echo "no display: $(head -1 err.txt 2>/dev/null)"
