#!/bin/sh
# Runs the game from a copy of resources/ that lacks one texture: start-up
# must stop with the loader's message and a non-zero status, before any
# window is shown.
#   smoke_missing_texture.sh <vuzuder binary>
set -u
binary=$1
scratch=$(mktemp -d)
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
trap 'rm -rf "$scratch"' EXIT
cp -r resources "$scratch/resources"
rm "$scratch/resources/textures/cursor.png"
cd "$scratch" || exit 1

timeout 120 "$binary" >out.txt 2>err.txt
status=$?
if [ $status -eq 0 ] || [ $status -ge 124 ]; then
  echo "expected a failure status, got $status"; cat err.txt; exit 1
fi
if ! grep -qx 'ResourceHolder::load - Failed to load resources/textures//cursor.png' err.txt; then
  echo "the failure did not name the file:"; cat err.txt; exit 1
fi
if grep -q 'Loaded track' out.txt; then
  echo "the menu was built despite the failure"; exit 1
fi
echo "status $status: $(cat err.txt)"
