#!/usr/bin/env bash
# The viewer's window at rest: opens a graph file in the real window under Xvfb, waits until the
# view says it is still (HALVANE_EVENT_LOG), then prints the processor time the whole process
# spent over the next `seconds` (utime + stime from /proc/PID/stat, as a share of one core), the
# frames drawn meanwhile and the window's memory (VmRSS now, VmHWM its peak).
# Usage: scripts/bench_window.sh VIEWER FILE [SECONDS]   (needs Xvfb)
# Prints: window at rest: cpu=…% of a core over …s, frames=…, rss_mb=…, peak_mb=…
set -euo pipefail

viewer="$1"
file="$2"
seconds="${3:-10}"

work="$(mktemp -d)"
xvfb_pid=""
viewer_pid=""
cleanup() {
  [[ -n "$viewer_pid" ]] && kill "$viewer_pid" 2>/dev/null && wait "$viewer_pid" 2>/dev/null
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 5>&-
for _ in $(seq 150); do
  [[ -s "$work/display" ]] && break
  sleep 0.1
done
[[ -s "$work/display" ]] || { echo "bench_window: Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(cat "$work/display")"
export DISPLAY QT_QPA_PLATFORM=xcb HALVANE_EVENT_LOG=1
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
mkdir -m 700 "$work/runtime"

"$viewer" --network 127.0.0.1:1 --open "$file" >"$work/viewer.log" 2>&1 &
viewer_pid=$!

# The labels slide and the docks settle first: up to two minutes on a busy software rasteriser.
for _ in $(seq 1200); do
  grep -q '^halvane: frames: still after frame ' "$work/viewer.log" && break
  kill -0 "$viewer_pid" 2>/dev/null || { cat "$work/viewer.log" >&2; exit 1; }
  sleep 0.1
done
grep -q '^halvane: frames: still after frame ' "$work/viewer.log" ||
  { echo "bench_window: the view never came to rest" >&2; exit 1; }

ticks() { awk '{ print $14 + $15 }' "/proc/$viewer_pid/stat"; }
still_at() { sed -n 's/^halvane: frames: \(still after\|woken at\) frame //p' "$work/viewer.log" | tail -n 1; }
before_ticks=$(ticks)
before_frame=$(still_at)
start=$(date +%s.%N)
sleep "$seconds"
after_ticks=$(ticks)
end=$(date +%s.%N)
after_frame=$(still_at)
rss=$(awk '/^VmRSS:/ { print $2 / 1024 }' "/proc/$viewer_pid/status")
peak=$(awk '/^VmHWM:/ { print $2 / 1024 }' "/proc/$viewer_pid/status")
python3 - "$before_ticks" "$after_ticks" "$start" "$end" "$(getconf CLK_TCK)" \
  "$before_frame" "$after_frame" "$rss" "$peak" <<'PY'
import sys
b, a, start, end, hz, f0, f1, rss, peak = sys.argv[1:]
wall = float(end) - float(start)
cpu = (int(a) - int(b)) / int(hz) / wall * 100
print(f"window at rest: cpu={cpu:.2f}% of a core over {wall:.1f}s, "
      f"frames={int(f1) - int(f0)}, rss_mb={float(rss):.1f}, peak_mb={float(peak):.1f}")
PY
