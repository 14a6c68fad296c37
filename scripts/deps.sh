#!/usr/bin/env bash
# Installs the Debian 12 packages Halvane builds and tests with, skipping what is already there.
# Runs apt-get through sudo when not root. Usage: scripts/deps.sh
set -euo pipefail

packages=(
  # compiler and build
  g++ cmake ninja-build pkg-config clang-format
  # OpenGL with GLU, and headless GL through EGL on Mesa's llvmpipe
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri libglx-mesa0
  # pictures: JPEG through the libjpeg 6b API; downloads through libcurl
  libjpeg62-turbo-dev libcurl4-openssl-dev
  # the REST client's XML answers; the stand-in social network's HTTP and storage
  libtinyxml-dev libcpp-httplib-dev libsqlite3-dev
  # graph files: igraph reads GraphML, GML and edge lists and finds communities (Leiden), so
  # that Halvane does not carry parsers of its own for them
  libigraph-dev
  # the viewer: Qt Widgets with OpenGL, the embedded browser, Wayland as well as X
  qt6-base-dev qt6-webengine-dev qt6-wayland
  # tests: GoogleTest, and ImageMagick, which writes and independently decodes the reference
  # pictures
  libgtest-dev imagemagick
  # the end-to-end test: a virtual X server, synthetic input and the clipboard (to read back what
  # was typed); screenshots by ImageMagick
  xvfb xauth xdotool xclip
  # fuzzing the picture readers: clang with libFuzzer and the sanitizer runtimes
  clang libclang-rt-14-dev
  # artwork: FreeType and the DejaVu fonts draw the interface textures
  libfreetype-dev fonts-dejavu-core
  # names in every script: HarfBuzz shapes them, fribidi orders right-to-left text, fontconfig
  # finds a font for each character; DejaVu (above) writes Latin, Greek, Cyrillic, Arabic and
  # Hebrew, Lohit Devanagari (0.2 MB) Devanagari, WenQuanYi Micro Hei (5 MB) Chinese, Japanese
  # and Korean, where the Noto families would take 130 MB
  libharfbuzz-dev libfribidi-dev libfontconfig-dev fonts-lohit-deva fonts-wqy-microhei
  # offscreen snapshots and the program's icons are written as PNG
  libpng-dev
  # the install test checks the menu entry with desktop-file-validate
  desktop-file-utils
  # the Debian package: manual pages written from each program's --help, the package checked
  # by lintian and its AppStream metainfo by appstreamcli, and gio to ask the desktop which
  # type a graph file is once the package is installed
  help2man lintian appstream libglib2.0-bin
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  echo "deps: all ${#packages[@]} packages present"
  exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi

echo "deps: installing ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
