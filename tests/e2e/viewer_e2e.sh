#!/usr/bin/env bash
# End-to-end test of the viewer, the way a person uses it, on a virtual X server:
#   1. halvane-server on a free loopback port, with a generated sample network in a scratch folder;
#   2. the real viewer pointed at it; the login dialog opens and shows the server's login page;
#   3. once the page is drawn, the test types the demo account's email (checking what the field
#      holds) and password into the page and presses Enter, again if the submit never reached the
#      server (its request log tells), and types it all again if the page refused it; then it
#      presses the dialog's Close button;
#   4. it waits for the friends, their pictures and the first friendship batch, takes a screenshot
#      of the main window and checks it: the friends dock on the right edge holds items with
#      pictures, the labels on the globe carry pictures, and dots are drawn;
#   5. a second run opens a page of its own instead of the login page, whose script sends the
#      three kinds of "app:" command: "APP:Beep" (prefix in any case), "app:Hello" (unknown: a box
#      titled "Unexpected Command") and "app:Minimise"; the viewer's event log must show all three
#      and the box must appear;
#   6. a third run opens a graph file written here (a user and 30 named friends in two groups)
#      with --open and --communities, with no server and no login: the event log must say the
#      graph and its two communities are loaded, no login dialog may appear, and the screenshot
#      must show the friends dock filled and the dots drawn, as the first run checks;
#   7. in that run, Ctrl+F opens the search bar, the test types part of a friend's name without
#      its accents and presses Enter: the event log must tell the pick and the status bar's
#      selection (name and friend count), and the view must glide to the person.
#   8. a fourth run starts with the server stopped: the event log must say it is unreachable; once
#      it is back the login dialog opens, Close without a login is told as such, and File > Log in
#      again (Ctrl+L) opens the dialog again.
#   9. a further run opens the graph file in arrival order and picks View > Arrange > By friendships:
#      the event log must say so and the view must change as the friends glide to their groups.
#  10. a further run opens a row of friends, picks the first in the friends dock and Shift+clicks one
#      further down: the person panel opens and names the chain of friends between the two.
#  11. a further run lets the graph file's view come to rest: no frame over a quiet second, a
#      pointer move wakes it at once, and a tap of Left turns the globe.
#  12. a last run opens a file of names in a dozen scripts: the names reach the status bar, the
#      labels make room, and unticking View > Make room for labels shows every label.
# Every wait is bounded, waits on a condition rather than a fixed time, and stretches with
# HALVANE_TEST_TIME_SCALE; every process started here is stopped on the way out.
#
# Usage: viewer_e2e.sh VIEWER SERVER [ARTIFACT_DIR]
#   VIEWER, SERVER   the halvane and halvane-server executables
#   ARTIFACT_DIR     where screenshots and logs are kept (default: a scratch folder, removed)
# The viewer runs in HALVANE_SOURCE_DIR (default: this repository), which holds data/config/.
# Exit status: 0 passed, 1 failed, 77 skipped (no Xvfb, xdotool or ImageMagick, or no viewer
# built). With HALVANE_REQUIRE_GL set a missing tool or binary is a failure instead of a skip.
set -uo pipefail

viewer=${1:-}
server=${2:-}
artifacts=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
source_dir=${HALVANE_SOURCE_DIR:-$(cd "$here/../.." && pwd)}

log() { echo "e2e: [${SECONDS}s] $*"; }

skip() {
  if [[ -n "${HALVANE_REQUIRE_GL:-}" ]]; then
    echo "e2e: FAILED: $* (HALVANE_REQUIRE_GL is set, so this is not skipped)" >&2
    exit 1
  fi
  echo "e2e: SKIPPED: $*"
  exit 77
}

[[ -n "$viewer" && -n "$server" ]] || {
  echo "usage: $0 VIEWER SERVER [ARTIFACT_DIR]" >&2
  exit 2
}
for tool in Xvfb xdotool xclip import convert compare; do
  command -v "$tool" >/dev/null || skip "'$tool' is missing (scripts/deps.sh installs xvfb, xdotool, xclip and imagemagick)"
done
[[ -x "$viewer" ]] || skip "no viewer at $viewer (the build made none)"
[[ -x "$server" ]] || skip "no halvane-server at $server (the build made none)"
[[ -f "$source_dir/data/config/themes.txt" ]] || {
  echo "e2e: no data/config/ in $source_dir" >&2
  exit 1
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/halvane-e2e.XXXXXX")
if [[ -z "$artifacts" ]]; then
  artifacts=$scratch/artifacts
fi
mkdir -p "$artifacts"
rm -f "$artifacts"/*.png "$artifacts"/*.log

xvfb_pid=
server_pid=
viewer_pid=

# Stops a process, and with "group" its whole process group (the viewer's browser processes).
stop() {
  local pid=$1 group=${2:-}
  [[ -n "$pid" ]] || return 0
  kill -0 "$pid" 2>/dev/null || {
    wait "$pid" 2>/dev/null
    return 0
  }
  if [[ -n "$group" ]]; then kill -TERM -- "-$pid" 2>/dev/null; else kill -TERM "$pid" 2>/dev/null; fi
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    if [[ -n "$group" ]]; then kill -KILL -- "-$pid" 2>/dev/null; else kill -KILL "$pid" 2>/dev/null; fi
  fi
  # Leftovers of the group (a browser helper that outlived the viewer).
  [[ -n "$group" ]] && kill -KILL -- "-$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  return 0
}

cleanup() {
  stop "$viewer_pid" group
  stop "$server_pid"
  stop "$xvfb_pid"
  cp -f "$scratch"/*.log "$artifacts"/ 2>/dev/null
  [[ "$artifacts" == "$scratch"/* ]] || rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
  echo "e2e: FAILED: $*" >&2
  if [[ -n "${DISPLAY:-}" ]]; then
    import -window root "$artifacts/failure.png" 2>/dev/null &&
      echo "e2e: the screen at the failure: $artifacts/failure.png" >&2
  fi
  for f in "$scratch"/viewer*.log "$scratch"/server.log; do
    [[ -s "$f" ]] || continue
    echo "---- last lines of $(basename "$f")" >&2
    tail -n 25 "$f" >&2
  done
  exit 1
}

# Every time-out below is stretched by HALVANE_TEST_TIME_SCALE (default 1; 2 on a very slow
# machine), and so is the test's own budget.
scale=${HALVANE_TEST_TIME_SCALE:-1}
if ! [[ "$scale" =~ ^[0-9]+([.][0-9]+)?$ ]] || ! awk -v s="$scale" 'BEGIN { exit !(s > 0) }'; then
  echo "e2e: HALVANE_TEST_TIME_SCALE must be a positive number, not '$scale'" >&2
  exit 2
fi
scaled() { awk -v t="$1" -v s="$scale" 'BEGIN { printf "%d", t * s + 0.999 }'; }

# The whole test ends within its own budget, inside CTest's time-out (1,500 s), so that it always
# gets to stop what it started.
budget=$(scaled "${HALVANE_E2E_SECONDS:-480}")
((budget <= 1440)) || budget=1440

# Repeats a command every 0.25 s until it succeeds; returns 1 after `seconds` (scaled), and fails
# the test at once when the viewer has died or the test's budget is spent. For a step the test
# retries.
poll_for() {
  local seconds
  seconds=$(scaled "$1")
  local what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    if [[ -n "$viewer_pid" ]] && ! kill -0 "$viewer_pid" 2>/dev/null; then
      fail "the viewer ended while waiting for $what"
    fi
    ((SECONDS < budget)) || fail "the test ran past its $budget s while waiting for $what"
    ((SECONDS < deadline)) || return 1
    sleep 0.25
  done
}

# As poll_for, but a time-out fails the test.
wait_for() {
  poll_for "$@" || fail "no $2 within $(scaled "$1") s"
}

# Does an action and waits up to SECONDS for its CHECK, up to TRIES times; returns 1 when no try
# brought it about. Usage: act_until TRIES SECONDS WHAT CHECK -- ACTION...
act_until() {
  local tries=$1 seconds=$2 what=$3 check=$4 try
  shift 5
  for ((try = 1; try <= tries; ++try)); do
    "$@"
    poll_for "$seconds" "$what" "$check" && return 0
    log "no $what after try $try of $tries"
  done
  return 1
}

# ---- image helpers (ImageMagick); GEOMETRY is WxH+X+Y within the picture ----

# The fraction of pixels in the region within FUZZ percent of the colour (R,G,B 0-255).
fraction_like() {
  local file=$1 geometry=$2 colour=$3 fuzz=$4
  convert "$file" -crop "$geometry" +repage -alpha off -fuzz "$fuzz%" -transparent "rgb($colour)" \
    -alpha extract -format '%[fx:1-mean]' info:
}

# The fraction of pixels in the region that are vivid and neither blue nor cyan: the theme draws
# in blues, white and grey, so such pixels come from the pictures (each person has their own hue).
fraction_picture_colours() {
  local file=$1 geometry=$2
  convert "$file" -crop "$geometry" +repage -colorspace HSL \
    -fx '(u.g > 0.3 && u.b > 0.15 && u.b < 0.85 && (u.r < 0.45 || u.r > 0.75)) ? 1 : 0' \
    -format '%[fx:mean]' info:
}

# The number of pixels that differ between two pictures of the same size.
pixels_changed() {
  compare -metric AE -fuzz 5% "$1" "$2" null: 2>&1 | sed 's/[^0-9.].*//'
}

# Whether a decimal fraction is at least a bound.
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 >= b + 0) }'; }

# ---- the virtual X server ----

Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp -noreset \
  5>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
wait_for 15 "display from Xvfb" test -s "$scratch/display"
DISPLAY=":$(head -n 1 "$scratch/display")"
export DISPLAY
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
log "Xvfb on $DISPLAY"

# The viewer's own corner of the file system: the embedded browser writes caches and settings.
mkdir -m 700 "$scratch/runtime"
export XDG_RUNTIME_DIR=$scratch/runtime
export XDG_CACHE_HOME=$scratch/cache XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
export HALVANE_EVENT_LOG=1
# In a sanitizer build of the viewer, leaks inside Qt, Chromium and fontconfig are not ours to
# chase, and Chromium's page teardown frees objects with a sized delete of a base class (a
# new-delete type mismatch inside libQt6WebEngineCore); every other finding still counts.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0:new_delete_type_mismatch=0"

# ---- the server ----

database=$scratch/server.db
"$server" --db "$database" --sample 150 --list-accounts >"$scratch/accounts" 2>"$scratch/server.log" ||
  fail "halvane-server could not generate the sample network"
IFS=$'\t' read -r _ email name friends <"$scratch/accounts"
[[ -n "${email:-}" && "${friends:-0}" -gt 1 ]] || fail "no demo account with friends: $(head -c 300 "$scratch/accounts")"
password=halvane
log "demo account: $email ($name, $friends friends)"

"$server" --host 127.0.0.1 --port 0 --db "$database" --log-requests >"$scratch/server.out" \
  2>>"$scratch/server.log" &
server_pid=$!
listening() { grep -q '^listening on http://127\.0\.0\.1:[0-9]*$' "$scratch/server.out"; }
wait_for 30 "'listening on' line from halvane-server" listening
port=$(sed -n 's|^listening on http://127\.0\.0\.1:\([0-9]*\)$|\1|p' "$scratch/server.out")
log "halvane-server on 127.0.0.1:$port"

# ---- the viewer ----

# Starts the viewer in its own process group (so that its browser processes are stopped with it),
# in the folder that holds data/config/.
start_viewer() {
  local log_file=$1
  shift
  (cd "$source_dir" && exec setsid "$viewer" "$@") >"$log_file" 2>&1 &
  viewer_pid=$!
}

# The id of the first visible window with exactly this name.
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [[ -n "$(window_named "$1")" ]]; }

# Window geometry into WX, WY, WW, WH.
geometry_of() {
  # shellcheck disable=SC2034 # xdotool sets SCREEN and WINDOW as well
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
}

screenshot() { import -window root -depth 8 "$1" 2>/dev/null; }

logged() { grep -qF "halvane: $2" "$1"; }

run=$scratch/viewer-login.log
start_viewer "$run" --network "127.0.0.1:$port"
log "viewer started (pid $viewer_pid)"

dialog_title="Log in to see your friends"
wait_for 60 "login dialog window" has_window "$dialog_title"
dialog=$(window_named "$dialog_title")
has_window Halvane || fail "the login dialog is up but no main window named Halvane"
# Behind the dialog the scene is drawn at a modest rate, so that the browser can draw the page.
wait_for 15 "'frames: behind the login dialog' in the event log" \
  logged "$run" "frames: behind the login dialog"

# The login page has loaded when its blue title bar shows inside the browser: the browser fills the
# dialog within a 10-pixel margin, and the bar runs across the top of the page, its title at the
# left.
page_bar="59,89,152"
page_loaded() {
  geometry_of "$dialog"
  screenshot "$scratch/dialog.png" || return 1
  local share
  share=$(fraction_like "$scratch/dialog.png" "$((WW / 2 - 40))x10+$((WX + WW / 2))+$((WY + 20))" \
    "$page_bar" 5)
  at_least "$share" 0.9
}
wait_for 60 "login page in the dialog (its blue title bar)" page_loaded
cp "$scratch/dialog.png" "$artifacts/login-page.png"
log "login page shown in a ${WW}x${WH} dialog at $WX,$WY"

# The page puts the focus on the email field (autofocus); it shows once the browser has the
# keyboard: Chromium draws its orange focus ring around the field. There is no window manager
# to give the dialog the keyboard, so the test does, and then types as a person would.
browser_geometry() { echo "$((WW - 40))x$((WH - 60))+$((WX + 10))+$((WY + 10))"; }
focus_ring="229,151,0"
email_focused() {
  screenshot "$scratch/focus.png" || return 1
  local ring
  ring=$(fraction_like "$scratch/focus.png" "$(browser_geometry)" "$focus_ring" 10)
  at_least "$ring" 0.001
}
xdotool mousemove "$((WX + WW / 2))" "$((WY + WH / 2))"
xdotool windowfocus --sync "$dialog" 2>/dev/null || xdotool windowfocus "$dialog"
wait_for 15 "keyboard focus in the email field of the login page" email_focused

# What the focused field holds: select it all and copy it; the viewer owns the clipboard then.
field_text() {
  xdotool key ctrl+a ctrl+c
  xclip -o -selection clipboard 2>/dev/null
}
typed_email() { [[ "$(field_text)" == "$email" ]]; }
replace_email() {
  xdotool key ctrl+a BackSpace
  xdotool type --delay 40 "$email"
}
# Types the email into the focused field, replacing what it holds, until the field holds it.
type_email() {
  act_until 3 10 "the typed email in the field" typed_email -- replace_email ||
    fail "could not type the email into the login page"
}

# Submits go to the server, which logs every request it answers; the login page's own requests
# (the form as loaded, and each submit) are POSTs or GETs of /login.php.
login_posts() { grep -c 'halvane-server: POST /login.php ' "$scratch/server.log"; }

# The answer replaces the form and the table of demo accounts with a short welcome, so the lower
# part of the page turns to the page's plain grey; a refusal shows the form again with a red
# message.
page_grey="233,235,238"
error_red="255,235,232"
page_state() {
  screenshot "$scratch/answered.png" || return 1
  local lower refused
  refused=$(fraction_like "$scratch/answered.png" "$(browser_geometry)" "$error_red" 3)
  if at_least "$refused" 0.005; then
    echo refused
    return 0
  fi
  lower=$(fraction_like "$scratch/answered.png" \
    "$((WW - 60))x$((WH * 3 / 10))+$((WX + 20))+$((WY + WH / 2))" "$page_grey" 3)
  at_least "$lower" 0.99 && echo welcome
}
page_answered() { [[ -n "$(page_state)" ]]; }
posted_since() { (($(login_posts) > $1)); }

answered=
for attempt in 1 2 3; do
  type_email
  xdotool key Tab
  xdotool type --delay 40 "$password"
  screenshot "$scratch/typed.png"
  cp "$scratch/typed.png" "$artifacts/login-typed.png"
  posts=$(login_posts)
  submitted() { posted_since "$posts"; }
  # A Return that never reached the server is pressed again; a submit that did reach it is
  # waited for until its page is drawn.
  act_until 3 20 "the login form's submit at the server" submitted -- xdotool key Return ||
    fail "three Returns on the login page never reached the server"
  wait_for 60 "the login page's answer" page_answered
  answered=$(page_state)
  [[ "$answered" == welcome ]] && break
  # Refused: a key was lost in the password. The page shows the form again, the email filled in
  # and focused.
  log "the login page refused the login (attempt $attempt); typing it again"
  cp "$scratch/answered.png" "$artifacts/login-refused-$attempt.png"
  wait_for 30 "keyboard focus in the email field of the login page" email_focused
done
[[ "$answered" == welcome ]] || fail "the login page refused $email three times (see $artifacts/)"
screenshot "$artifacts/login-answered.png"
log "logged in on the page"

# The Close button sits at the dialog's bottom-right corner: 80 x 26 pixels, 10 from each edge.
geometry_of "$dialog"
xdotool mousemove --sync "$((WX + WW - 10 - 40))" "$((WY + WH - 10 - 13))" click 1
wait_for 15 "'login dialog closed' in the event log" logged "$run" "login dialog closed"
has_window "$dialog_title" && fail "the login dialog is still visible after Close"
wait_for 15 "'frames: back to back' in the event log after Close" logged "$run" "frames: back to back"
log "login dialog closed"

main=$(window_named Halvane)
[[ -n "$main" ]] || fail "no main window after Close"
# Keep the pointer off the globe and the docks, so that nothing is magnified or hovered.
xdotool mousemove 1270 790

# The view reports the friends it has loaded and each friendship batch in its event log.
friends_loaded() { grep -q '^halvane: friends loaded: ' "$run"; }
wait_for 60 "'friends loaded' in the event log" friends_loaded
loaded=$(sed -n 's/^halvane: friends loaded: \([0-9]*\)$/\1/p' "$run" | head -n 1)
[[ "$loaded" == "$friends" ]] || fail "the viewer loaded ${loaded:-no} friends, the account has $friends"
log "the viewer loaded $loaded friends"

# The friends dock runs along the right edge of the view; the labels and dots fill the middle.
# Regions are measured within the main window; its menu bar takes the top 40 pixels at most.
background=$(awk '/^Theme_1/ { t = 1 } t && /BackgroundColor/ {
  printf "%d,%d,%d", $3 * 255 + 0.5, $4 * 255 + 0.5, $5 * 255 + 0.5; exit }' \
  "$source_dir/data/config/themes.txt")
[[ -n "$background" ]] || fail "no background colour of the first theme in data/config/themes.txt"

fraction_unlike_background() {
  awk -v f="$(fraction_like "$scratch/main.png" "$1" "$background" 8)" 'BEGIN { print 1 - f }'
}

measure() {
  geometry_of "$main"
  screenshot "$scratch/root.png" || return 1
  convert "$scratch/root.png" -crop "${WW}x${WH}+${WX}+${WY}" +repage "$scratch/main.png" || return 1
  local top=40 height=$((WH - 40))
  dock_geometry="100x${height}+$((WW - 100))+$top"
  middle_geometry="$((WW / 2))x$((height / 2))+$((WW / 4))+$((top + height / 4))"
  dock_filled=$(fraction_unlike_background "$dock_geometry")
  dock_pictures=$(fraction_picture_colours "$scratch/main.png" "$dock_geometry")
  middle_filled=$(fraction_unlike_background "$middle_geometry")
  middle_pictures=$(fraction_picture_colours "$scratch/main.png" "$middle_geometry")
}

friends_shown() {
  measure || return 1
  at_least "$dock_filled" 0.15 && at_least "$middle_filled" 0.05
}
wait_for 60 "friends in the dock and on the globe" friends_shown
log "friends shown: dock $dock_filled filled, middle $middle_filled filled"
cp "$scratch/main.png" "$artifacts/friends.png"

# The first batch comes 51 frames after the friends. Every friend is connected to the user;
# the batch adds the friendships among the friends.
batch_done() { grep -q '^halvane: friendship batch done: ' "$run"; }
wait_for 120 "first friendship batch in the event log" batch_done
connections=$(sed -n 's/^halvane: friendship batch done: \([0-9]*\) connections$/\1/p' "$run" | head -n 1)
[[ -n "$connections" ]] && ((connections > loaded)) ||
  fail "the first friendship batch brought no friendships (${connections:-no} connections for $loaded friends)"
log "first friendship batch: $((connections - loaded)) friendships among the friends"

pictures_shown() {
  measure || return 1
  at_least "$dock_pictures" 0.02 && at_least "$middle_pictures" 0.002
}
wait_for 90 "pictures in the dock and on the labels" pictures_shown
log "pictures shown: dock $dock_pictures, middle $middle_pictures in picture colours"
cp "$scratch/main.png" "$artifacts/screenshot.png"
log "screenshot: $artifacts/screenshot.png"

# The user stands at the front of the globe, in the middle of the view, with the label to the
# upper right of the ball; every friend is joined to the user by a row of dots, so the dots
# cover the space left of the ball, where no label lies: most of it for a large circle, some
# of it (the share given) for a small one.
dots_left_of_user() {
  local cx=$((WW / 2)) cy=$((WH / 2 + 10)) share=${1:-0.8} above below
  above=$(fraction_unlike_background "50x50+$((cx - 65))+$((cy - 65))")
  below=$(fraction_unlike_background "50x50+$((cx - 65))+$((cy + 15))")
  log "dots: ${above} and ${below} of the space left of the user drawn"
  at_least "$above" "$share" && at_least "$below" "$share"
}
dots_left_of_user || fail "no dots around the user's locator (see $artifacts/screenshot.png)"

# File > Exit ends the program cleanly, picture worker and all.
# The menu opens as a window of the viewer's own; a key that came too early is pressed again.
viewer_windows() { xdotool search --onlyvisible --pid "$viewer_pid" 2>/dev/null | wc -l; }
more_windows_than() { (($(viewer_windows) > $1)); }
exited() { ! kill -0 "$viewer_was" 2>/dev/null; }
viewer_was=$viewer_pid
for try in 1 2 3; do
  xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
  windows=$(viewer_windows)
  xdotool key alt+f
  poll_for 10 "the File menu" more_windows_than "$windows" ||
    log "no File menu window seen after Alt+F (try $try)"
  xdotool key x
  viewer_pid=
  poll_for 20 "end of the viewer after File > Exit" exited && break
  viewer_pid=$viewer_was
  log "the viewer still runs after File > Exit (try $try); closing the menu and trying again"
  xdotool key Escape
done
exited || fail "the viewer did not end after File > Exit, three times"
viewer_pid=
wait "$viewer_was"
status=$?
((status == 0)) || {
  viewer_pid=$viewer_was
  fail "the viewer ended with status $status after File > Exit"
}
log "File > Exit ended the viewer"

# ---- the "app:" commands ----

# A page of the test's own instead of the login page: its script navigates to three "app:"
# addresses in turn. The navigations are cancelled, so the page stays and its timers run on.
cat >"$scratch/commands.html" <<'HTML'
<!DOCTYPE html>
<html lang="en">
<head><meta charset="utf-8"><title>Commands</title></head>
<body>
<p>Sending commands to the application.</p>
<script>
var commands = ["APP:Beep", "app:Hello", "app:Minimise"];
commands.forEach(function (command, i) {
  setTimeout(function () { window.location.href = command; }, 1500 * (i + 1));
});
</script>
</body>
</html>
HTML

run=$scratch/viewer-commands.log
start_viewer "$run" --network "127.0.0.1:$port" --login-page "file://$scratch/commands.html"
log "viewer started on the commands page (pid $viewer_pid)"
wait_for 60 "login dialog window" has_window "$dialog_title"

wait_for 30 "'app command: Beep' in the event log" logged "$run" "app command: Beep"
wait_for 30 "'app command: Hello' in the event log" logged "$run" "app command: Hello"
wait_for 15 "window named 'Unexpected Command'" has_window "Unexpected Command"
wait_for 30 "'app command: Minimise' in the event log" logged "$run" "app command: Minimise"
commands=$(sed -n 's/^halvane: app command: //p' "$run" | paste -sd ' ')
[[ "$commands" == "Beep Hello Minimise" ]] || fail "the commands arrived as '$commands'"
boxes=$(xdotool search --onlyvisible --name '^Unexpected Command$' 2>/dev/null | wc -l)
((boxes == 1)) || fail "$boxes 'Unexpected Command' boxes, one expected (for Hello only)"
screenshot "$artifacts/commands.png"
# The frame loop goes on with the window minimised, looking in now and then.
# Without a window manager the window may not stay minimised; the viewer must live on either way.
poll_for 30 "'frames: hidden' in the event log after 'Minimise'" logged "$run" "frames: hidden" ||
  log "the window did not stay minimised (no window manager)"
kill -0 "$viewer_pid" 2>/dev/null || fail "the viewer ended after 'Minimise'"
log "app commands: $commands; one 'Unexpected Command' box"
stop "$viewer_pid" group
viewer_pid=

# ---- View > Theme: the second theme, picked from the menu, takes over the window at once ----

# Opens View > Theme with the keyboard and picks theme 2; checks the event log's line and that
# the globe's background turned from the first theme's colour to the second's.
theme_colour() {
  awk -v theme="Theme_$1" '$1 == theme { t = 1 } t && /BackgroundColor/ {
    printf "%d,%d,%d", $3 * 255 + 0.5, $4 * 255 + 0.5, $5 * 255 + 0.5; exit }' \
    "$source_dir/data/config/themes.txt"
}
check_theme_menu() {
  local log_file=$1 second name middle before after
  second=$(theme_colour 2)
  name=$(awk '/^\/\/ / { n = substr($0, 4); sub(/:.*/, "", n) } /^Theme_2/ { print n; exit }' \
    "$source_dir/data/config/themes.txt")
  [[ -n "$second" && -n "$name" ]] || fail "no second theme in data/config/themes.txt"
  geometry_of "$main"
  middle="$((WW / 2))x$((WH / 3))+$((WW / 4))+$((WH / 3))"
  window_shot() {
    screenshot "$scratch/root.png" &&
      convert "$scratch/root.png" -crop "${WW}x${WH}+${WX}+${WY}" +repage "$1"
  }
  window_shot "$scratch/before-theme.png" || fail "no screenshot before the theme switch"
  before=$(fraction_like "$scratch/before-theme.png" "$middle" "$second" 4)
  themed() { logged "$log_file" "theme: 2 $name"; }
  local try windows
  for try in 1 2 3; do
    xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
    windows=$(viewer_windows)
    xdotool key alt+v
    poll_for 10 "the View menu" more_windows_than "$windows" || { xdotool key Escape; continue; }
    xdotool key t
    poll_for 10 "the Theme menu" more_windows_than "$((windows + 1))" || { xdotool key Escape Escape; continue; }
    xdotool key 2
    poll_for 10 "'theme: 2 $name' in the event log" themed && break
    log "no theme switch after View > Theme > 2 (try $try)"
    xdotool key Escape Escape
  done
  themed || fail "View > Theme > 2 did not switch the theme, three times"
  second_shown() {
    window_shot "$scratch/after-theme.png" || return 1
    after=$(fraction_like "$scratch/after-theme.png" "$middle" "$second" 4)
    at_least "$after" 0.3
  }
  wait_for 20 "the second theme's background ($second) in the window" second_shown
  at_least "$before" 0.05 && fail "the second theme's background showed before the switch ($before)"
  cp "$scratch/after-theme.png" "$artifacts/theme-2.png"
  log "View > Theme > 2 ($name): background $before -> $after of the middle in $second"
}

# ---- a graph file, opened without a server ----

graph=$scratch/two-groups.graphml
{
  echo '<?xml version="1.0" encoding="UTF-8"?>'
  echo '<graphml xmlns="http://graphml.graphdrawing.org/xmlns">'
  echo '<key id="name" for="node" attr.name="name" attr.type="string"/>'
  echo '<graph id="G" edgedefault="undirected">'
  echo '<node id="me"><data key="name">Test User</data></node>'
  # One name with accents, for the search below.
  for i in $(seq 0 29); do
    label="Person $i"
    ((i == 17)) && label="José Pérez"
    echo "<node id=\"p$i\"><data key=\"name\">$label</data></node>"
  done
  for i in $(seq 0 29); do
    echo "<edge source=\"me\" target=\"p$i\"/>"
    # Everyone knows the rest of their group of 15; p0 and p15 know each other across.
    for j in $(seq $((i + 1)) $(((i / 15) * 15 + 14))); do echo "<edge source=\"p$i\" target=\"p$j\"/>"; done
  done
  echo '<edge source="p0" target="p15"/>'
  echo '</graph></graphml>'
} >"$graph"

run=$scratch/viewer-graph.log
start_viewer "$run" --network "127.0.0.1:1" --open "$graph" --self me --communities
log "viewer started on $graph (pid $viewer_pid)"
graph_loaded() { grep -q '^halvane: graph loaded: ' "$run"; }
wait_for 60 "'graph loaded' in the event log" graph_loaded
said=$(sed -n 's/^halvane: graph loaded: //p' "$run" | head -n 1)
[[ "$said" == "30 friends, 211 friendships" ]] || fail "the graph loaded as '$said', not 30 friends, 211 friendships"
logged "$run" "communities: 2" || fail "no 'communities: 2' in the event log"
main=$(window_named Halvane)
[[ -n "$main" ]] || fail "no main window after the graph loaded"
xdotool mousemove 1270 790
wait_for 60 "friends in the dock and on the globe" friends_shown
has_window "$dialog_title" && fail "a login dialog opened although a graph file was given"
cp "$scratch/main.png" "$artifacts/graph.png"
log "graph shown: dock $dock_filled filled, middle $middle_filled filled"
# Thirty friends' rows of dots, fewer than the first run's 150, cover less of the space.
dots_left_of_user 0.25 || fail "no dots around the user's locator (see $artifacts/graph.png)"
check_theme_menu "$run"

# ---- search: Ctrl+F, part of a name typed without its accent, Enter ----

# Opens the search bar, types QUERY and presses Enter; the person NAME must be selected as a
# click would select them: the status bar says so (the event log repeats it), the bar closes,
# and the camera glides to them, so the middle of the view changes.
search_and_select() {
  local query=$1 name=$2 friends=$3 try
  measure || fail "no screenshot before the search"
  cp "$scratch/main.png" "$scratch/before-search.png"
  for try in 1 2 3; do
    xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
    xdotool key ctrl+f
    poll_for 10 "'search opened' in the event log" logged "$run" "search opened: 31 people" && break
    log "no search bar after Ctrl+F (try $try)"
  done
  logged "$run" "search opened: 31 people" || fail "Ctrl+F opened no search bar, three times"
  xdotool type --delay 40 "$query"
  xdotool key Return
  wait_for 15 "'search picked: $name' in the event log" logged "$run" "search picked: $name"
  wait_for 15 "the selection of $name in the status bar" \
    logged "$run" "selected: $name · $friends friends in this circle"
  logged "$run" "search closed" || fail "the search bar did not close after the pick"
  glided() {
    measure || return 1
    local changed
    changed=$(pixels_changed "$scratch/before-search.png" "$scratch/main.png")
    ((${changed%.*} > WW * WH / 100))
  }
  wait_for 30 "the camera's glide to $name (a changed view)" glided
  cp "$scratch/main.png" "$artifacts/search.png"
  log "search: '$query' selected $name, the view glided there"
}
search_and_select "jose pe" "José Pérez" 14
stop "$viewer_pid" group
viewer_pid=

# ---- failures shown, and File > Log in again ----

# A fourth run is pointed at the first server's port with that server stopped: the event log must
# say the server is unreachable, and no login dialog may open. The server then comes back on the
# same port, and the viewer's next try opens the login dialog. Close pressed without logging in
# must be told as a login not finished; File > Log in again (Ctrl+L) must open a dialog again.
stop "$server_pid"
server_pid=
run=$scratch/viewer-again.log
start_viewer "$run" --network "127.0.0.1:$port"
log "viewer started on the stopped server's port $port (pid $viewer_pid)"
wait_for 60 "'Server unreachable' in the event log" \
  logged "$run" "session: Server unreachable (127.0.0.1:$port)"
has_window "$dialog_title" && fail "a login dialog opened with no server to log in to"

"$server" --host 127.0.0.1 --port "$port" --db "$database" >"$scratch/server-again.out" \
  2>>"$scratch/server.log" &
server_pid=$!
wait_for 60 "login dialog window once the server is back" has_window "$dialog_title"
log "the server is back on $port; the login dialog opened"
dialog=$(window_named "$dialog_title")
geometry_of "$dialog"
xdotool mousemove --sync "$((WX + WW - 10 - 40))" "$((WY + WH - 10 - 13))" click 1
wait_for 15 "'login dialog closed' in the event log" logged "$run" "login dialog closed"
wait_for 30 "'Not logged in' in the event log after Close without a login" \
  logged "$run" "session: Not logged in"

main=$(window_named Halvane)
[[ -n "$main" ]] || fail "no main window after Close"
for try in 1 2 3; do
  xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
  xdotool key ctrl+l
  poll_for 10 "'log in again' in the event log" logged "$run" "log in again" && break
  log "Ctrl+L did not reach the viewer (try $try); pressing it again"
done
logged "$run" "log in again" || fail "File > Log in again (Ctrl+L) never reached the viewer"
wait_for 60 "login dialog window after File > Log in again" has_window "$dialog_title"
log "File > Log in again opened the login dialog again"
stop "$viewer_pid" group
viewer_pid=

# ---- graph files from the desktop: a file given as `halvane FILE`, a bad one, a drop ----

# As a file manager starts the viewer: `halvane FILE`. A file that does not open shows the window
# with a box saying why. A good one opens; right-clicking a friend in the dock offers "This is
# me", which re-lays the circle around them; View > Find communities again finds communities; File
# > Save Graph As writes the circle, and the status bar's legend comes back after the save's
# message. The saved file, dragged from a window of its own (halvane-drop-source, a real X drop,
# as from a file manager) onto the viewer, opens with the same user and the same communities, and
# File > Open Recent's list names both files, newest first.
check_desktop_files() {
  local recent=$XDG_CONFIG_HOME/halvane/recent saved=$scratch/saved.graphml user found try
  rm -f "$recent"
  run=$scratch/viewer-bad-file.log
  start_viewer "$run" --network 127.0.0.1:1 "$scratch/missing.graphml"
  wait_for 60 "the 'Open Graph' box about a file that does not open" has_window "Open Graph"
  logged "$run" "open failed: $scratch/missing.graphml: cannot open" ||
    fail "the box's reason is not in the event log"
  has_window Halvane || fail "no main window behind the 'Open Graph' box"
  stop "$viewer_pid" group
  viewer_pid=
  log "a file that does not open: the window shows, with a box saying why"

  run=$scratch/viewer-file.log
  start_viewer "$run" --network 127.0.0.1:1 "$graph"
  wait_for 60 "'graph loaded' in the event log" graph_loaded
  logged "$run" "user: Test User" || fail "the node joined to everyone is not the user"
  main=$(window_named Halvane)
  geometry_of "$main"
  # A friend in the friends dock, along the right edge; the menu waits for a frame to find them.
  for try in 1 2 3; do
    xdotool mousemove --sync "$((WX + WW - 40))" "$((WY + WH / 3))" click 3
    poll_for 10 "the context menu of a friend" logged "$run" "context menu: " && break
    log "no context menu after a right click (try $try)"
  done
  user=$(sed -n 's/^halvane: context menu: //p' "$run" | tail -n 1)
  [[ -n "$user" ]] || fail "no context menu on a friend in the dock"
  xdotool key m
  wait_for 15 "'user: $user' after This is me" logged "$run" "user: $user"
  log "This is me: the circle is laid out around $user"

  for try in 1 2 3; do
    xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
    xdotool key alt+v
    sleep 0.3
    xdotool key g
    poll_for 10 "communities found again" logged "$run" "communities: " && break
    xdotool key Escape
  done
  found=$(sed -n 's/^halvane: communities: //p' "$run" | tail -n 1)
  [[ -n "$found" ]] || fail "View > Find communities again found none"
  for try in 1 2 3; do
    xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
    xdotool key alt+f
    sleep 0.3
    xdotool key s
    poll_for 10 "the Save Graph As dialog" has_window "Save Graph As" && break
    xdotool key Escape
  done
  has_window "Save Graph As" || fail "File > Save Graph As opened no dialog"
  xdotool key ctrl+a
  xdotool type --delay 20 "$saved"
  xdotool key Return
  wait_for 15 "'graph saved' in the event log" logged "$run" "graph saved: $saved"
  legend_back() { sed -n '/^halvane: graph saved: /,$p' "$run" | grep -q "^halvane: status: .*$found communities"; }
  wait_for 20 "the legend back in the status bar after the save" legend_back

  [[ -n "${HALVANE_DROP_SOURCE:-}" && -x "$HALVANE_DROP_SOURCE" ]] ||
    fail "no drop source (HALVANE_DROP_SOURCE; CTest names halvane-drop-source)"
  "$HALVANE_DROP_SOURCE" "$saved" >"$scratch/drop.out" 2>"$scratch/drop.log" &
  local drop_pid=$!
  wait_for 30 "the drop source's window" has_window "Drop source"
  geometry_of "$(window_named "Drop source")"
  xdotool mousemove --sync "$((WX + WW / 2))" "$((WY + WH / 2))" mousedown 1
  local step
  for step in 1 2 3 4 5 6; do
    xdotool mousemove --sync "$((WX + 100 * step))" "$((WY + 60 * step))"
    sleep 0.1
  done
  geometry_of "$main"
  xdotool mousemove --sync "$((WX + WW / 2))" "$((WY + WH / 2))"
  sleep 0.2
  xdotool mouseup 1
  wait_for 30 "'dropped' in the event log" logged "$run" "dropped: $saved"
  stop "$drop_pid"
  loaded_twice() { (($(grep -c '^halvane: graph loaded: ' "$run") >= 2)); }
  wait_for 60 "the dropped file's circle" loaded_twice
  [[ "$(sed -n 's/^halvane: user: //p' "$run" | tail -n 1)" == "$user" ]] ||
    fail "the saved circle reopened around someone other than $user"
  [[ "$(sed -n 's/^halvane: communities: //p' "$run" | tail -n 1)" == "$found" ]] ||
    fail "the saved circle reopened without its $found communities"
  [[ "$(cat "$recent" 2>/dev/null)" == "$saved"$'\n'"$graph" ]] ||
    fail "the recent files are '$(cat "$recent" 2>/dev/null)', not the saved file, then $graph"
  screenshot "$artifacts/dropped.png"
  log "the saved circle, dropped on the window, came back around $user with $found communities"
  stop "$viewer_pid" group
  viewer_pid=
}
check_desktop_files

# ---- View > Arrange > By friendships: a file's circle glides into its groups ----

# The two-group file again, opened in arrival order; View > Arrange > By friendships, picked with
# the keyboard, must tell "layout: sphere" and the two communities in the event log, and the
# globe must change as the friends glide to their groups, each in its colour.
check_arrange_menu() {
  local try windows changed
  run=$scratch/viewer-arrange.log
  start_viewer "$run" --network "127.0.0.1:1" --open "$graph" --self me --layout arrival
  log "viewer started on $graph in arrival order (pid $viewer_pid)"
  wait_for 60 "'layout: arrival' in the event log" logged "$run" "layout: arrival"
  wait_for 30 "the main window" has_window Halvane
  main=$(window_named Halvane)
  xdotool mousemove 1270 790
  wait_for 60 "friends in the dock and on the globe" friends_shown
  cp "$scratch/main.png" "$scratch/before-arrange.png"
  arranged() { logged "$run" "layout: sphere"; }
  for try in 1 2 3; do
    xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
    windows=$(viewer_windows)
    xdotool key alt+v
    poll_for 10 "the View menu" more_windows_than "$windows" || { xdotool key Escape; continue; }
    xdotool key a
    poll_for 10 "the Arrange menu" more_windows_than "$((windows + 1))" || { xdotool key Escape Escape; continue; }
    xdotool key f
    poll_for 20 "'layout: sphere' in the event log" arranged && break
    log "no layout after View > Arrange > By friendships (try $try)"
    xdotool key Escape Escape
  done
  arranged || fail "View > Arrange > By friendships did not arrange the circle, three times"
  logged "$run" "communities: 2" || fail "no 'communities: 2' in the event log after arranging"
  regrouped() {
    measure || return 1
    changed=$(pixels_changed "$scratch/before-arrange.png" "$scratch/main.png")
    ((${changed%.*} > WW * WH / 50))
  }
  wait_for 30 "the friends gliding to their groups (a changed view)" regrouped
  cp "$scratch/main.png" "$artifacts/arranged.png"
  log "View > Arrange > By friendships: $changed pixels changed"
  stop "$viewer_pid" group
  viewer_pid=
}
check_arrange_menu

# ---- a chain between two friends, Shift+clicked in the real window ----

# A further run opens a row of friends, each knowing the next, and picks the first in the friends
# dock along the view's right edge. Then, with the pointer resting on a docked friend further
# down (the event log names whom it rests on), Shift+click: the person panel opens beside the
# view and its event-log line must name the chain from the first to that friend through
# everyone between them, never through the user. The screenshot keeps the panel and the chain.
shift_click_chain() {
  local file=$scratch/row.graphml run=$scratch/viewer-chain.log main x last i expected
  {
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo '<graphml xmlns="http://graphml.graphdrawing.org/xmlns">'
    echo '<key id="name" for="node" attr.name="name" attr.type="string"/>'
    echo '<graph id="G" edgedefault="undirected"><node id="me"/>'
    for i in 1 2 3 4 5 6 7 8; do
      echo "<node id=\"r$i\"><data key=\"name\">Row $i</data></node><edge source=\"me\" target=\"r$i\"/>"
      ((i > 1)) && echo "<edge source=\"r$((i - 1))\" target=\"r$i\"/>"
    done
    echo '</graph></graphml>'
  } >"$file"
  start_viewer "$run" --network "127.0.0.1:1" --open "$file" --self me
  wait_for 60 "the row of friends loaded" logged "$run" "graph loaded: 8 friends, 7 friendships"
  main=$(window_named Halvane)
  [[ -n "$main" ]] || fail "no main window for the row of friends"
  geometry_of "$main"
  # The friends dock's items are 48 pixels (96 under the pointer), right-aligned 18 pixels in
  # from the view's right edge, from 27 pixels below its top (the menu bar takes 40 at most).
  x=$((WX + WW - 42))
  rests_on() { grep '^halvane: hover: ' "$run" | tail -n 1 | grep -qF "hover: $1"; }
  xdotool mousemove "$x" $((WY + 95))
  wait_for 15 "the pointer resting on Row 1 in the dock" rests_on "Row 1"
  xdotool click 1
  wait_for 15 "Row 1 selected" logged "$run" "selected: Row 1 · 1 friend in this circle"
  # Lower down the column the magnified items settle under the pointer; whoever it rests on is
  # the chain's far end.
  xdotool mousemove "$x" $((WY + 290))
  rests_further() { ! rests_on "Row 1"; }
  wait_for 15 "the pointer resting on a friend further down" rests_further
  last=$(grep '^halvane: hover: ' "$run" | tail -n 1 | sed 's/^halvane: hover: Row //')
  [[ "$last" =~ ^[3-8]$ ]] || fail "the pointer rests on '$last', not on a friend two or more down the row"
  xdotool keydown shift click 1 keyup shift
  expected="Row 1"
  for ((i = 2; i <= last; i++)); do expected+=" > Row $i"; done
  wait_for 15 "the person panel's chain in the event log" logged "$run" "panel path: $expected"
  wait_for 15 "the chain in the status bar" logged "$run" \
    "focus: Chain from Row 1 to Row $last: $((last - 1)) friendships"
  xdotool mousemove "$((WX + WW / 3))" "$((WY + WH - 60))"
  # The panel's white list beside the view, where the dark globe was.
  panel_shown() {
    measure || return 1
    at_least "$(fraction_like "$scratch/main.png" "200x150+$((WW - 230))+$((WH / 2))" 255,255,255 4)" 0.6
  }
  wait_for 15 "the person panel beside the view" panel_shown
  cp "$scratch/main.png" "$artifacts/chain.png"
  log "chain: Shift+click on Row $last showed $expected in the person panel"
  stop "$viewer_pid" group
  viewer_pid=
}
shift_click_chain

# ---- a still window draws nothing, and input wakes it at once ----

# A further run opens the graph file again. Once nothing moves (the labels have slid to their sides,
# the docks have settled) the view tells the event log it is still, at its frame count; over a
# quiet second it must draw no frame, so the wake that ends the rest comes at that same count. A
# pointer move wakes it at once, and it comes to rest again; a tap of the Left arrow turns the
# globe by a step that shows.
check_still_window() {
  local run=$scratch/viewer-still.log main last woken
  start_viewer "$run" --network "127.0.0.1:1" --open "$graph" --self me
  log "viewer started on $graph to see it rest (pid $viewer_pid)"
  still_lines() { grep -c '^halvane: frames: still after frame ' "$run"; }
  last_still() { sed -n 's/^halvane: frames: still after frame //p' "$run" | tail -n 1; }
  stills_past() { (($(still_lines) > $1)); }
  wait_for 120 "'frames: still' in the event log" stills_past 0
  main=$(window_named Halvane)
  [[ -n "$main" ]] || fail "no main window named Halvane"
  geometry_of "$main"
  last=$(last_still)
  rests() { grep -cE '^halvane: frames: (still|woken) ' "$run"; }
  local stills lines
  lines=$(rests)
  sleep 1
  (($(rests) == lines)) || fail "the still view woke during a quiet second"
  stills=$(still_lines)
  wakes() { grep -c '^halvane: frames: woken at frame ' "$run"; }
  woke_past() { (($(wakes) > $1)); }
  local before
  before=$(wakes)
  xdotool mousemove "$((WX + WW / 3))" "$((WY + WH / 2))"
  wait_for 5 "'frames: woken' in the event log after a pointer move" woke_past "$before"
  woken=$(sed -n 's/^halvane: frames: woken at frame //p' "$run" | tail -n 1)
  [[ "$woken" == "$last" ]] ||
    fail "frames were drawn while the view was still: it went still after frame $last, woke at $woken"
  wait_for 60 "'frames: still' again after the pointer move" stills_past "$stills"
  log "still after frame $last, no frame over a quiet second, woken by a pointer move at frame $woken"

  # The view alone, without measuring it as the first runs do.
  shot() {
    screenshot "$scratch/root.png" &&
      convert "$scratch/root.png" -crop "${WW}x${WH}+${WX}+${WY}" +repage "$scratch/$1.png"
  }
  shot before-tap || fail "no screenshot of the resting view"
  local changed=0 try
  tapped() {
    shot tapped || return 1
    changed=$(pixels_changed "$scratch/before-tap.png" "$scratch/tapped.png")
    ((${changed%.*} > WW * WH / 100))
  }
  for try in 1 2 3; do
    xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
    xdotool key Left
    poll_for 20 "the globe turned by a tap of Left" tapped && break
    log "a tap of Left changed $changed pixels (try $try); tapping again"
  done
  tapped || fail "a tap of Left changed only $changed pixels of the view"
  cp "$scratch/tapped.png" "$artifacts/tapped.png"
  log "a tap of Left turned the globe: $changed pixels changed"
  stop "$viewer_pid" group
  viewer_pid=
}
check_still_window

# ---- names in several scripts, with labels making room ----

# A graph file of friends named in a dozen scripts, opened without a server: the names come
# through to the event log, the circle starts with labels making room, and View > Make room for
# labels, unticked, shows every label, so more of the view is in the labels' colour.
check_names_in_scripts() {
  local file=$scratch/scripts.graphml log_file=$scratch/viewer-scripts.log i windows
  local names=("Ольга Смирнова" "Γιώργος Παπαδόπουλος" "محمد الأحمد" "דוד כהן" "王小明"
    "田中さくら" "김민준" "अर्जुन शर्मा" "สมชาย ใจดี" "Nguyễn Thị Hà" "Björk Guðmundsdóttir"
    "Արամ Պետրոսյան")
  {
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo '<graphml xmlns="http://graphml.graphdrawing.org/xmlns">'
    echo '<key id="name" for="node" attr.name="name" attr.type="string"/>'
    echo '<graph id="G" edgedefault="undirected">'
    echo '<node id="me"><data key="name">Test User</data></node>'
    for i in "${!names[@]}"; do
      echo "<node id=\"s$i\"><data key=\"name\">${names[i]}</data></node>"
      echo "<edge source=\"me\" target=\"s$i\"/>"
      echo "<edge source=\"s$i\" target=\"s$(((i + 1) % ${#names[@]}))\"/>"
    done
    echo '</graph></graphml>'
  } >"$file"
  start_viewer "$log_file" --network "127.0.0.1:1" --open "$file" --self me
  log "viewer started on $file (pid $viewer_pid)"
  wait_for 60 "'graph loaded' in the event log" logged "$log_file" "graph loaded: 12 friends"
  wait_for 15 "'labels: room made' in the event log" logged "$log_file" "labels: room made"
  wait_for 30 "the communities' status with their names" grep -q "status: 12 friends · .* around" "$log_file"
  grep "status: 12 friends · " "$log_file" | grep -qE "김민준|Ольга|דוד|王小明|Γιώργος|محمد" ||
    fail "the status bar named no one in their own script: $(grep 'status: 12' "$log_file" | tail -n 1)"
  main=$(window_named Halvane)
  [[ -n "$main" ]] || fail "no main window after the graph of names loaded"
  xdotool mousemove 1270 790
  # Night sky's labels are near white; the globe, dots and docks are not.
  local label="237,242,250" room
  lit() {
    geometry_of "$main"
    screenshot "$scratch/root.png" &&
      convert "$scratch/root.png" -crop "${WW}x${WH}+${WX}+${WY}" +repage "$scratch/names.png" ||
      return 1
    lit_share=$(fraction_like "$scratch/names.png" "$((WW * 3 / 4))x$((WH * 3 / 4))+$((WW / 8))+$((WH / 8))" "$label" 12)
  }
  labelled() { lit && at_least "$lit_share" 0.002; }
  wait_for 60 "labels in the middle of the view" labelled
  # The labels settle into their places.
  settled() {
    local before=$lit_share
    lit && [[ "$lit_share" == "$before" ]]
  }
  wait_for 30 "the labels settled" settled
  room=$lit_share
  cp "$scratch/names.png" "$artifacts/names-room.png"
  for i in 1 2 3; do
    xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
    windows=$(viewer_windows)
    xdotool key alt+v
    poll_for 10 "the View menu" more_windows_than "$windows" || { xdotool key Escape; continue; }
    xdotool key l
    poll_for 10 "'labels: all' in the event log" logged "$log_file" "labels: all" && break
    xdotool key Escape Escape
  done
  logged "$log_file" "labels: all" || fail "View > Make room for labels did not untick, three times"
  more_labels() { lit && ! at_least "$room" "$lit_share"; }
  wait_for 30 "more of the view in the labels' colour with every label shown" more_labels
  cp "$scratch/names.png" "$artifacts/names-all.png"
  log "names in scripts: labels' colour $room of the middle with room made, $lit_share with all"
  stop "$viewer_pid" group
  viewer_pid=
}
check_names_in_scripts

log "PASSED"
