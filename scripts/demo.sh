#!/usr/bin/env bash
# Sets up, builds and runs the viewer on the stand-in social network's built-in sample network:
#   1. installs the packages that are missing (scripts/deps.sh);
#   2. builds the viewer and halvane-server (release build in build/);
#   3. starts halvane-server on 127.0.0.1:8765 with its sample network, unless a server already
#      answers there, and prints the demo account to log in with;
#   4. runs the viewer from the repository root (it reads ./data/config/), with the friendships
#      asked for back to back (--fast-friendships), until it is closed, then stops the server it
#      started.
# Usage: scripts/demo.sh [viewer options]    e.g. --login-page URL; see build/app/halvane --help
# Environment: HALVANE_PORT (default 8765), HALVANE_JOBS (build parallelism),
#              HALVANE_DEMO_DB (the server's database, default build/demo/halvane-server.db).
set -euo pipefail
cd "$(dirname "$0")/.."

say() { echo "demo: $*"; }
fail() {
  echo "demo: $*" >&2
  exit 1
}

# The viewer is a window: without a display there is nothing to show it on, so say so before
# spending minutes on packages and a build.
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  fail "no display: neither DISPLAY nor WAYLAND_DISPLAY is set.
  Run this from a terminal of a graphical desktop session (X11 or Wayland).
  Over ssh, connect with 'ssh -X' so that DISPLAY is set.
  As root through sudo, keep the variables: 'sudo --preserve-env=DISPLAY,XAUTHORITY,WAYLAND_DISPLAY,XDG_RUNTIME_DIR scripts/demo.sh'.
  Without any display, 'xvfb-run -s \"-screen 0 1280x800x24\" scripts/demo.sh' runs it on an invisible one."
fi

host=127.0.0.1
port=${HALVANE_PORT:-8765}
[[ "$port" =~ ^[0-9]{1,5}$ ]] || fail "HALVANE_PORT must be a port number, not '$port'"

scripts/deps.sh

say "building the viewer and halvane-server"
jobs=${HALVANE_JOBS:-$(nproc)}
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs" --target halvane halvane-server

viewer=build/app/halvane
server=build/server/halvane-server
[[ -x "$viewer" ]] || fail "the build made no $viewer"
[[ -x "$server" ]] || fail "the build made no $server"

# What answers on host:port, if anything: the body of a bare request for "/" over bash's
# /dev/tcp (a fresh machine need not have curl). halvane-server answers "halvane-server: N
# people, ...".
probe() {
  timeout 5 bash -c '
    exec 3<>"/dev/tcp/$1/$2" || exit 1
    printf "GET / HTTP/1.0\r\nHost: %s\r\n\r\n" "$1" >&3
    tr -d "\r" <&3 | sed "1,/^\$/d" | head -c 200
  ' _ "$host" "$port" 2>/dev/null
}

# Stops a process started here: TERM, then KILL after five seconds.
stop() {
  local pid=$1 what=$2
  [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null || return 0
  say "stopping $what (pid $pid)"
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
server_pid=
viewer_pid=
cleanup() {
  stop "$viewer_pid" "the viewer"
  stop "$server_pid" halvane-server
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

if timeout 5 bash -c 'exec 3<>"/dev/tcp/$1/$2"' _ "$host" "$port" 2>/dev/null; then
  body=$(probe || true)
  [[ "$body" == halvane-server:* ]] ||
    fail "something other than halvane-server listens on $host:$port; stop it, or pick another port with HALVANE_PORT"
  say "halvane-server already answers on http://$host:$port (${body%%$'\n'*}); using it"
  say "its login page lists the demo accounts to log in with"
else
  database=${HALVANE_DEMO_DB:-build/demo/halvane-server.db}
  mkdir -p "$(dirname "$database")"
  log=build/demo/halvane-server.log
  mkdir -p build/demo

  # Listing the accounts first also creates the database and its sample network on the first
  # run, before the server starts.
  say "preparing the sample network in $database"
  accounts=$("$server" --db "$database" --list-accounts) ||
    fail "halvane-server could not prepare $database (see the messages above)"
  account=$(printf '%s\n' "$accounts" | head -n 1)
  [[ -n "$account" ]] || fail "halvane-server lists no accounts in $database"
  IFS=$'\t' read -r _ email name friends <<<"$account"

  "$server" --host "$host" --port "$port" --db "$database" >"$log" 2>&1 &
  server_pid=$!
  address=
  for _ in $(seq 300); do
    address=$(sed -n 's/^listening on \(http:[^ ]*\)$/\1/p' "$log" | head -n 1)
    [[ -n "$address" ]] && break
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [[ -z "$address" ]]; then
    cat "$log" >&2
    fail "halvane-server did not start on $host:$port (log: $log)"
  fi
  say "halvane-server is listening on $address (log: $log)"
  cat <<EOF

  Log in on the page that opens with the demo account of $name ($friends friends):
      email     $email
      password  halvane
  then press Close, and the circle comes in. The login page lists the demo accounts too.

EOF
fi


say "starting the viewer"
# In the background, so that an interrupt or a TERM reaches the traps at once and everything
# started here is stopped. The demo's server answers at once: the friendships need not trickle in.
"$viewer" --network "$host:$port" --fast-friendships "$@" &
viewer_pid=$!
rc=0
wait "$viewer_pid" || rc=$?
viewer_pid=
((rc == 0)) || say "the viewer ended with exit code $rc"
exit "$rc"
