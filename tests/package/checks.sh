#!/bin/sh
# Debian's checks on the built package: lintian without errors, the desktop
# entry and the AppStream metadata valid (offline).
#   checks.sh <build folder>
set -u
deb=$(ls "$1"/vuzuder_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "no package in $1"; exit 1; }
for tool in lintian desktop-file-validate appstreamcli dpkg-deb; do
  command -v $tool >/dev/null 2>&1 || { echo "$tool is needed"; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"
status=0
desktop-file-validate "$scratch"/usr/share/applications/*.desktop || status=1
appstreamcli validate --no-net "$scratch"/usr/share/metainfo/*.xml || status=1
lintian --tag-display-limit 0 "$deb" >"$scratch/lintian.txt" 2>&1
cat "$scratch/lintian.txt"
if grep -q '^E: ' "$scratch/lintian.txt"; then
  echo "lintian reports errors"; status=1
fi
[ $status -eq 0 ] && echo "lintian: no error ($(grep -c '^W: ' "$scratch/lintian.txt") warnings); desktop entry and metadata valid"
exit $status
