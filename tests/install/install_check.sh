#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop user gets: the programs
# in bin/, the themes and textures under share/halvane/config/, the menu entry and its icon, and
# that an installed program finds its data from any working directory.
#
# Usage: install_check.sh BUILD_DIR SOURCE_DIR WITH_VIEWER(0|1)
# Exit status: 0 passed, 1 failed.
set -euo pipefail

build=$1 source=$2 with_viewer=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
fail() { echo "install: FAILED: $*" >&2; exit 1; }
log() { echo "install: $*"; }

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 ||
  fail "cmake --install: $(tail -n 5 "$scratch/install.log")"

programs=(halvane-server halvane-snapshot)
((with_viewer)) && programs+=(halvane)
for program in "${programs[@]}"; do
  [[ -x "$prefix/bin/$program" ]] || fail "no bin/$program"
done
for file in "$source"/data/config/*; do
  cmp -s "$file" "$prefix/share/halvane/config/$(basename "$file")" ||
    fail "share/halvane/config/$(basename "$file") is not data/config/$(basename "$file")"
done
icons=$(find "$prefix/share/icons/hicolor" -path '*/apps/halvane.png' | wc -l)
((icons >= 4)) || fail "$icons icon sizes under share/icons/hicolor, 4 or more expected"
for size in 16 48 256; do
  png=$prefix/share/icons/hicolor/${size}x$size/apps/halvane.png
  [[ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" == 89504e470d0a1a0a ]] ||
    fail "$png is no PNG"
done
if ((with_viewer)); then
  desktop=$prefix/share/applications/halvane.desktop
  [[ -f "$desktop" ]] || fail "no share/applications/halvane.desktop"
  grep -qx 'Exec=halvane %f' "$desktop" || fail "the menu entry does not run halvane on a file"
  grep -qx 'Icon=halvane' "$desktop" || fail "the menu entry does not name the icon"
  # Every type the entry opens is one the installed MIME definitions (or Debian's) know.
  for type in $(sed -n 's/^MimeType=//p' "$desktop" | tr ';' ' '); do
    grep -q "type=\"$type\"" "$prefix/share/mime/packages/halvane.xml" \
      /usr/share/mime/packages/freedesktop.org.xml || fail "no MIME definition of $type"
  done
  [[ -f $prefix/share/metainfo/org.halvane.Halvane.metainfo.xml ]] || fail "no AppStream metainfo"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate refused $desktop"
  else
    log "desktop-file-validate not installed; the menu entry was not validated"
  fi
fi
log "${#programs[@]} programs, $(find "$prefix/share/halvane/config" -type f | wc -l) config files, $icons icons"

# The installed snapshot, run far from the source tree, draws in the shipped theme: the most
# common colour of its picture is the first theme's background. The build tree's own snapshot,
# run from there too, finds no data and draws on the built-in black.
elsewhere=$scratch/elsewhere
mkdir -p "$elsewhere"
printf '1 2\n1 3\n1 4\n2 3\n' >"$elsewhere/circle.txt"
background=$(awk '/^Theme_1/ { t = 1 } t && /BackgroundColor/ {
  printf "%d,%d,%d", $3 * 255 + 0.5, $4 * 255 + 0.5, $5 * 255 + 0.5; exit }' \
  "$source/data/config/themes.txt")
most_common() {
  # Every line is read (no early exit that would break the pipe).
  convert "$1" -depth 8 -format %c histogram:info:- | sort -rn |
    sed -n '1s/^ *[0-9]*: (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}
near() {
  local IFS=, a b
  read -r -a a <<<"$1"
  read -r -a b <<<"$2"
  for i in 0 1 2; do ((a[i] - b[i] <= 2 && b[i] - a[i] <= 2)) || return 1; done
}
snapshot() {
  (cd "$elsewhere" && "$1" --open circle.txt --self 1 --size 320x240 --frames 3 --out "$2") \
    >"$scratch/snapshot.log" 2>&1 || fail "$1: $(tail -n 3 "$scratch/snapshot.log")"
}
snapshot "$prefix/bin/halvane-snapshot" installed.png
colour=$(most_common "$elsewhere/installed.png")
near "$colour" "$background" ||
  fail "the installed snapshot drew on $colour, not the shipped background $background"
snapshot "$build/tools/snapshot/halvane-snapshot" uninstalled.png
colour=$(most_common "$elsewhere/uninstalled.png")
near "$colour" "0,0,0" || fail "the build tree's snapshot drew on $colour away from any data"
log "the installed snapshot found its data from $elsewhere"
log "PASSED"
