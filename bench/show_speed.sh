#!/usr/bin/env bash
# Speed of the full show: tessaview /s at 1920 x 1080 in a virtual X display
# (Xvfb, Mesa's software renderer) on the sample photos, a new photo every 2 s.
# Reports the process's CPU time over wall time (goal: below 50 % of one
# core) and, from the renderer's own timing in the log, the frame rate (goal:
# 25 per second) and the longest frame interval (goal: at most 80 ms).
#
#   bench/show_speed.sh BUILD_FOLDER      (TSV_SPEED_SECONDS=60 by default)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${TSV_SPEED_SECONDS:-60}
# The first hundred frames (start-up, shader compilation) are logged before measuring starts.
warmup=5
exe="$build/tessaview"
[ -x "$exe" ] || { echo "show_speed: $exe is missing; build first" >&2; exit 1; }

work=$(mktemp -d /tmp/tsv-speed-XXXXXX)
xvfb=""
show=""
cleanup() {
  [ -n "$show" ] && kill "$show" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/config/Kelvarin" "$work/data" "$work/run"
chmod 700 "$work/run"
cat > "$work/config/Kelvarin/Tessaview.ini" <<INI
[Settings]
Trace=1
AllowSoftwareAcceleration=1
Delay=2
[Paths]
Count=1
Path0=$root/res/samples
INI

# A display of our own, so the figures do not depend on what else is shown.
exec 3< <(Xvfb -displayfd 1 -screen 0 1920x1080x24 +extension GLX -nolisten tcp -noreset 2>/dev/null)
xvfb=$!
read -r -t 10 number <&3 || { echo "show_speed: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1
log="$work/data/Tessaview/Tessaview.log"

"$exe" /s >"$work/output.txt" 2>&1 &
show=$!
sleep "$warmup"
ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$show/stat"; }
start_cpu=$(cpu_ticks)
start_wall=$(date +%s.%N)
start_line=$(wc -l <"$log")
sleep "$seconds"
end_cpu=$(cpu_ticks)
end_wall=$(date +%s.%N)
kill -TERM "$show"
wait "$show" || true
show=""

tail -n +"$((start_line + 1))" "$log" >"$work/measured.log"
awk -v c0="$start_cpu" -v c1="$end_cpu" -v hz="$ticks" -v w0="$start_wall" -v w1="$end_wall" \
    -v seconds="$seconds" -v warmup="$warmup" '
  /frames per second/ { fps = $4 }
  /RenderFrame: longest interval/ {
    for (i = 1; i <= NF; ++i) if ($i == "interval") { v = $(i + 1) + 0; if (v > worst) worst = v }
    for (i = 1; i <= NF; ++i) if ($i == "frame") { f = $(i + 1) + 0; if (f > worstFrame) worstFrame = f }
    for (i = 1; i <= NF; ++i) if ($i == "hand-over") { h = $(i + 1) + 0; if (h > worstHandover) worstHandover = h }
    for (i = 1; i <= NF; ++i) if ($i == "photo") { p = $(i + 1) + 0; if (p > worstPhoto) worstPhoto = p }
    blocks++
  }
  /Before loadimage/ { photos++ }
  END {
    cpu = (c1 - c0) / hz; wall = w1 - w0
    printf "show_speed: 1920x1080, %d s measured after a %d s warm-up, %d photos loaded\n", wall + 0.5, warmup, photos
    printf "  CPU: %.1f %% of one core (%.1f s CPU in %.1f s)   goal: below 50 %%\n", 100 * cpu / wall, cpu, wall
    printf "  frame rate: %s frames per second (average since start)   goal: 25\n", fps
    printf "  longest frame interval around a photo: %.1f ms   goal: at most 80 ms\n", worstPhoto
    printf "  longest frame interval of all: %.1f ms (%d blocks of 100 frames)\n", worst, blocks
    printf "  longest frame: %.1f ms, of it the longest photo hand-over: %.1f ms\n", worstFrame, worstHandover
  }' "$work/measured.log"
# Figures of a shared machine say little without its load.
echo "  machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
