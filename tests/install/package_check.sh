#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it as apt and a desktop user get it:
# the files it holds and the dependencies dpkg-shlibdeps found, no error from lintian, then the
# package installed with apt-get into this machine, and the installed programs run: the snapshot
# opens a graph file and draws it, the viewer takes a file as `halvane FILE`, and the desktop
# knows the graph file types. A package that was not installed before is purged at the end.
#
# Installing needs root or sudo without a password; without either the check stops after
# lintian and says it skipped the rest. A throw-away root (dpkg --root) would not do: apt
# resolves the package's dependencies against this machine only, and the programs could not
# run from such a root without it.
#
# Usage: package_check.sh BUILD_DIR SOURCE_DIR
# Exit status: 0 passed (or skipped the installation, saying so), 1 failed.
set -euo pipefail

build=$(realpath "$1") source=$(realpath "$2")
scratch=$(mktemp -d)
# apt reads the package as its own unprivileged user.
chmod 755 "$scratch"
purge=0
sudo=()
cleanup() {
  if ((purge)); then
    "${sudo[@]}" dpkg --purge halvane >"$scratch/purge.log" 2>&1 ||
      echo "package: could not purge halvane: $(tail -n 3 "$scratch/purge.log")" >&2
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "package: FAILED: $*" >&2; exit 1; }
log() { echo "package: $*"; }

(cd "$build" && cpack -G DEB -B "$scratch/out") >"$scratch/cpack.log" 2>&1 ||
  fail "cpack: $(tail -n 5 "$scratch/cpack.log")"
debs=("$scratch"/out/halvane_*.deb)
[[ -f "${debs[0]}" ]] || fail "cpack wrote no halvane_*.deb"
deb=${debs[0]}
log "built $(basename "$deb") ($(($(stat -c %s "$deb") / 1024)) KiB)"

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./||')
expected=(
  usr/bin/halvane usr/bin/halvane-server usr/bin/halvane-snapshot
  usr/share/man/man1/halvane.1.gz usr/share/man/man1/halvane-server.1.gz
  usr/share/man/man1/halvane-snapshot.1.gz
  usr/share/applications/halvane.desktop usr/share/metainfo/org.halvane.Halvane.metainfo.xml
  usr/share/mime/packages/halvane.xml usr/share/icons/hicolor/48x48/apps/halvane.png
  usr/share/halvane/config/themes.txt
  usr/share/doc/halvane/copyright usr/share/doc/halvane/changelog.Debian.gz
)
for file in "${expected[@]}"; do
  grep -qx "$file" <<<"$contents" || fail "the package holds no $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6webenginewidgets6 libigraph3 libcurl4 libtinyxml2.6.2v5 qt6-qpa-plugins; do
  grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done
log "${#expected[@]} files checked; Depends: $depends"

# Each manual page lists every option its program's --help does.
for program in halvane halvane-server halvane-snapshot; do
  page=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - "./usr/share/man/man1/$program.1.gz" | gzip -dc)
  binary=$(find "$build" -maxdepth 3 -type f -name "$program" -perm -u+x | head -n 1)
  for option in $("$binary" --help | grep -oE '^ +(-[a-z], )?--[a-z-]+' | grep -oE -- '--[a-z-]+'); do
    grep -qF -- "${option//-/\\-}" <<<"$page" || fail "man page of $program lacks $option"
  done
done
log "the manual pages list every option of --help"

lintian --fail-on error "$deb" >"$scratch/lintian.log" 2>&1 || {
  cat "$scratch/lintian.log" >&2
  fail "lintian reports errors"
}
log "lintian: no errors ($(grep -c '^[WI]:' "$scratch/lintian.log" || true) warnings and notes)"
appstreamcli validate --no-net "$source/app/org.halvane.Halvane.metainfo.xml" >"$scratch/as.log" 2>&1 ||
  fail "appstreamcli: $(cat "$scratch/as.log")"

if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    sudo=(sudo -n)
  else
    log "SKIPPED the installation: neither root nor sudo without a password"
    log "PASSED (built and checked, not installed)"
    exit 0
  fi
fi

[[ "$(dpkg-query -W -f='${Status}' halvane 2>/dev/null || true)" == "install ok installed" ]] ||
  purge=1
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "$deb" \
  >"$scratch/apt.log" 2>&1 || fail "apt-get install: $(tail -n 5 "$scratch/apt.log")"
[[ "$(dpkg-query -W -f='${Status} ${Version}' halvane)" == "install ok installed 0.1-1" ]] ||
  fail "apt-get did not install halvane 0.1-1"
log "installed with apt-get"

# Far from the build, the installed snapshot finds its data and draws a file's circle.
elsewhere=$scratch/elsewhere
mkdir -p "$elsewhere"
printf 'AT&T,b\nAT&T,c\nAT&T,d\nb,c\n' >"$elsewhere/circle.csv"
(cd "$elsewhere" && /usr/bin/halvane-snapshot --open circle.csv --size 320x240 --frames 3 \
  --out circle.png --save-graph circle.graphml) >"$scratch/snapshot.log" 2>&1 ||
  fail "halvane-snapshot: $(tail -n 3 "$scratch/snapshot.log")"
[[ "$(head -c 8 "$elsewhere/circle.png" | od -An -tx1 | tr -d ' \n')" == 89504e470d0a1a0a ]] ||
  fail "the installed snapshot wrote no PNG"
grep -q 'graph loaded: 3 friends, 1 friendships' "$scratch/snapshot.log" ||
  fail "the installed snapshot did not find AT&T as the user: $(cat "$scratch/snapshot.log")"
log "the installed halvane-snapshot drew circle.csv"

# The installed viewer takes the file as `halvane FILE`: one that does not read is told in a box
# over the window (for whoever double-clicked it) and in the event log. The window needs a
# display: a virtual one of its own, ended once the log has told.
printf 'graph [\n  node [ id 1 ]\n  edge [\n' >"$elsewhere/broken.gml"
command -v xvfb-run >/dev/null || fail "xvfb-run is missing (package xvfb)"
(cd "$elsewhere" && HALVANE_EVENT_LOG=1 exec timeout -k 5 120 xvfb-run -a \
  /usr/bin/halvane --network 127.0.0.1:1 broken.gml) >"$scratch/viewer.log" 2>&1 &
viewer=$!
told=0
for _ in $(seq 240); do
  grep -q 'open failed: .*broken.gml' "$scratch/viewer.log" && told=1 && break
  kill -0 "$viewer" 2>/dev/null || break
  sleep 0.5
done
pkill -TERM -f '/usr/bin/halvane --network 127.0.0.1:1 broken.gml' 2>/dev/null || true
wait "$viewer" 2>/dev/null || true
((told)) || fail "halvane broken.gml told nothing of the file: $(tail -n 5 "$scratch/viewer.log")"
log "the installed halvane takes FILE"

# The desktop opens graph files with it: their types are known and the menu entry names them.
if command -v gio >/dev/null; then
  type_of() { gio info -a standard::content-type "$1" | sed -n 's/.*content-type: //p'; }
  for pair in circle.graphml:application/graphml+xml broken.gml:text/x-gml; do
    [[ "$(type_of "$elsewhere/${pair%%:*}")" == "${pair#*:}" ]] ||
      fail "${pair%%:*} is $(type_of "$elsewhere/${pair%%:*}"), not ${pair#*:}"
  done
  log "graph files are of the types the menu entry names"
else
  log "gio not installed; the types of graph files were not checked"
fi
if command -v update-desktop-database >/dev/null; then
  grep -q '^text/x-gml=.*halvane.desktop' /usr/share/applications/mimeinfo.cache ||
    fail "the desktop's list of applications by type does not name halvane.desktop for GML"
fi
log "PASSED"
