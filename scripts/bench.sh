#!/usr/bin/env bash
# Times the globe's frames on the plain drawing ways (--dots immediate) and on the fast ones (the
# default), one circle after the other in one run, and prints each circle's ratio and how much
# the two pictures differ (RMSE, by ImageMagick's compare):
#   - the 150-friend sample network of halvane-server, every friendship and picture loaded;
#   - ego 107 of the Facebook ego networks, from $HALVANE_DATA/ego-facebook/107.edges, in arrival
#     order (its most dots, as the figures were always taken), and its still frames (nothing
#     changes, so the kept globe pass is shown);
#   - a 5,000-friend sample network, every friendship and picture loaded (a minute or two);
#   - and how long every friendship of ego 107 (imported into halvane-server) and of the
#     5,000-friend sample takes to arrive with the batches asked back to back while frames are
#     drawn (--fast-friendships, the viewer's View > Load friendships at once).
# Builds what it needs first (release build in build/). Figures vary with the machine's load:
# read the ratios, measured minutes apart in one run, rather than the times.
# Usage: scripts/bench.sh
# Environment: HALVANE_DATA (default ../shared/data beside the repository), HALVANE_JOBS (build
#              parallelism), HALVANE_BENCH_SIZE (default 1024x768), HALVANE_BENCH_FRAMES
#              (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."

say() { echo "bench: $*" >&2; }
data="${HALVANE_DATA:-$(cd .. && pwd)/shared/data}"
size="${HALVANE_BENCH_SIZE:-1024x768}"
frames="${HALVANE_BENCH_FRAMES:-10}"

cmake --preset default >/dev/null
cmake --build --preset default -j"${HALVANE_JOBS:-2}" --target halvane-snapshot halvane-server
snapshot=build/tools/snapshot/halvane-snapshot
server=build/server/halvane-server

work="$(mktemp -d)"
server_pid=""
cleanup() {
  [[ -n "$server_pid" ]] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A free loopback port, found by binding port 0.
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

# Runs the snapshot once per way with the given arguments and prints both bench lines and the
# ratio of the median frame times.
compare() {
  local name="$1"
  shift
  local plain fast
  plain="$("$snapshot" "$@" --size "$size" --frames "$frames" --bench --dots immediate \
    --out "$work/plain.png" | grep '^bench:')"
  fast="$("$snapshot" "$@" --size "$size" --frames "$frames" --bench \
    --out "$work/fast.png" | grep '^bench:')"
  echo "$name immediate $plain"
  echo "$name default   $fast"
  local rmse
  rmse="$(command compare -metric RMSE "$work/plain.png" "$work/fast.png" null: 2>&1 || true)"
  python3 - "$name" "$plain" "$fast" "$rmse" <<'PY'
import sys
def median(line):
    return float(dict(f.split("=") for f in line.split()[1:])["median_ms"])
name, plain, fast, rmse = sys.argv[1:]
fraction = rmse.split("(")[-1].rstrip(")") if "(" in rmse else "nan"
print(f"{name} ratio plain/fast: {median(plain) / median(fast):.2f}, "
      f"pictures differ by {float(fraction) * 100:.2f} % RMSE")
PY
}

# The fast ways' frames when nothing changes: the kept globe pass under the interface. The labels
# ease to their sides for about 60 frames after the circle arrives; of 150 frames most are still,
# so the median is a still frame's.
still() {
  local name="$1"
  shift
  local out
  out="$("$snapshot" "$@" --size "$size" --frames 150 --bench --still --out "$work/still.png")"
  echo "$name still     $(grep '^bench:' <<<"$out") ($(grep '^still frames' <<<"$out"))"
}

# A sample network of `count` friends served on a free port; sets server_pid and port.
serve_sample() {
  local count="$1"
  serve --db "$work/sample$count.db" --sample "$count"
}

# halvane-server with the given arguments on a free port; sets server_pid and port.
serve() {
  port="$(free_port)"
  "$server" "$@" --host 127.0.0.1 --port "$port" >"$work/server.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 600); do
    if python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null; then
      return 0
    fi
    kill -0 "$server_pid" 2>/dev/null || { cat "$work/server.log" >&2; exit 1; }
    sleep 0.5
  done
  say "the server did not start"
  exit 1
}

stop_server() {
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  server_pid=""
}

# Every friendship of the circle in database `db`, asked for back to back while frames are
# drawn, as View > Load friendships at once does: the line with the seconds it took.
friendships() {
  local name="$1" db="$2"
  shift 2
  serve --db "$db" "$@"
  local email
  email="$("$server" --db "$db" --list-accounts | head -1 | cut -f2)"
  echo "$name fast friendships: $("$snapshot" --server "127.0.0.1:$port" --email "$email" \
    --fast-friendships --size "$size" --frames 1 --out "$work/friendships.png" |
    grep '^friendships:')"
  stop_server
}

sample() {
  local count="$1"
  serve_sample "$count"
  local email
  email="$("$server" --db "$work/sample$count.db" --list-accounts | head -1 | cut -f2)"
  compare "sample-$count" --server "127.0.0.1:$port" --email "$email" --all-friendships \
    --wait-pictures
  stop_server
}

sample 150
if [[ -f "$data/ego-facebook/107.edges" ]]; then
  compare "ego-107" --open "$data/ego-facebook/107.edges" --layout arrival
  still "ego-107" --open "$data/ego-facebook/107.edges" --layout arrival
  friendships "ego-107" "$work/ego107.db" --import-ego "$data/ego-facebook/107.edges"
else
  say "skipping ego 107: no $data/ego-facebook/107.edges (set HALVANE_DATA)"
fi
sample 5000
friendships "sample-5000" "$work/sample5000.db"
