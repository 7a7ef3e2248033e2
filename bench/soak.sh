#!/usr/bin/env bash
# Soak: the full show (tessaview /s) for MINUTES in a virtual X display with a
# new photo every second, over a generated library of 2,000 files of every
# format the show reads, 1 x 1 to 24 megapixels, one in twenty of them broken
# (truncated, empty, garbage, a huge size claim, a sound file under a photo's
# name, unreadable, deleted while listed). Samples the show's memory (RSS) and
# CPU every 10 s and prints the figures and goals at the end:
#   no crash; every broken file drawn is logged and skipped; RSS after the
#   warm-up grows by less than 5 %; 60 photos a minute within 10 %.
#
#   bench/soak.sh MINUTES [BUILD_FOLDER]
#
# Runs unattended; exits 0 when every goal is met, 1 otherwise. The library is
# written once into BUILD_FOLDER/soak-library (a few minutes) and reused.
# TSV_SOAK_FILES (2000) and TSV_SOAK_SCREEN (1280x720) change the set-up;
# TSV_SOAK_KEEP=1 keeps the run's folder (log, samples) for a closer look.
set -euo pipefail
minutes=${1:?usage: bench/soak.sh MINUTES [BUILD_FOLDER]}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${2:-$root/build}" && pwd)
files=${TSV_SOAK_FILES:-2000}
screen=${TSV_SOAK_SCREEN:-1280x720}
library=$build/soak-library
seconds=$((minutes * 60))
# The warm-up: a sixth of the run, at least one minute and at most five.
warmup=$((seconds / 6))
[ "$warmup" -lt 60 ] && warmup=60
[ "$warmup" -gt 300 ] && warmup=300

command -v python3 >/dev/null || { echo "soak: python3 is needed for the figures" >&2; exit 2; }
cmake --build "$build" --target tessaview soak-library >/dev/null
exe=$build/tessaview

if [ ! -f "$library/manifest.tsv" ] || [ "$(wc -l <"$library/manifest.tsv")" -ne "$files" ]; then
  echo "soak: writing the library of $files files into $library (once)"
  rm -rf "$library" "$library.tmp"
  "$build/bench/soak-library" "$library.tmp" "$files"
  mv "$library.tmp" "$library"
  sed -i "s|$library.tmp/|$library/|" "$library/manifest.tsv"
fi

work=$(mktemp -d /tmp/tsv-soak-XXXXXX)
chmod 755 "$work"
xvfb=""
show=""
moved=()
unreadable=()
cleanup() {
  [ -n "$show" ] && kill -KILL "$show" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  # The library is reused: put back what the run took away.
  for f in "${unreadable[@]}"; do chmod 644 "$f" 2>/dev/null || true; done
  for f in "${moved[@]}"; do [ -f "$work/deleted/$(basename "$f")" ] && mv "$work/deleted/$(basename "$f")" "$f"; done
  [ "${TSV_SOAK_KEEP:-0}" = 1 ] && echo "soak: run folder kept in $work" || rm -rf "$work"
}
trap cleanup EXIT

while IFS=$'\t' read -r path kind _; do
  case "$kind" in
  unreadable) chmod 000 "$path"; unreadable+=("$path") ;;
  deleted) moved+=("$path") ;;
  esac
done <"$library/manifest.tsv"

# Root reads any file: the show runs as an ordinary user when it can, so that
# unreadable files are unreadable to it.
runas=()
if [ "$(id -u)" = 0 ]; then
  if setpriv --reuid=65534 --regid=65534 --clear-groups test -r "$library/manifest.tsv" 2>/dev/null; then
    runas=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  else
    echo "soak: the library is not readable by an ordinary user; running as root (unreadable files will show)"
  fi
fi

mkdir -p "$work/config/Kelvarin" "$work/data" "$work/run" "$work/home" "$work/deleted"
chmod 700 "$work/run"
cat >"$work/config/Kelvarin/Tessaview.ini" <<INI
[Settings]
Trace=1
AllowSoftwareAcceleration=1
Delay=1
Random=1
Recursive=1
[Paths]
Count=1
Path0=$library/photos
[SndPaths]
Count=0
INI
[ ${#runas[@]} -gt 0 ] && chown -R 65534:65534 "$work/config" "$work/data" "$work/run" "$work/home"

# A display of our own that the ordinary user may use.
for n in $(seq 150 199); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { number=$n; break; }
done
Xvfb ":$number" -screen 0 "${screen}x24" +extension GLX -nolisten tcp -noreset -ac >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do
  [ -e "/tmp/.X11-unix/X$number" ] && break
  sleep 0.1
done
log=$work/data/Tessaview/Tessaview.log
samples=$work/samples.tsv

env DISPLAY=":$number" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run" \
  HOME="$work/home" QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 \
  "${runas[@]}" "$exe" /s >"$work/output.txt" 2>&1 &
show=$!
echo "soak: the show runs for $minutes min (pid $show, display :$number, $screen, warm-up ${warmup}s)"

ticks=$(getconf CLK_TCK)
start=$(date +%s)
last_cpu=0
last_t=0
deleted_done=0
printf 'seconds\trss_kb\tcpu_percent\n' >"$samples"
while :; do
  now=$(($(date +%s) - start))
  [ -d "/proc/$show" ] || break
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$show/status" 2>/dev/null || echo 0)
  cpu=$(awk '{ print $14 + $15 }' "/proc/$show/stat" 2>/dev/null || echo 0)
  if [ "$now" -gt "$last_t" ]; then
    pct=$(( (cpu - last_cpu) * 100 / ticks / (now - last_t) ))
  else
    pct=0
  fi
  printf '%d\t%s\t%d\n' "$now" "$rss" "$pct" >>"$samples"
  last_cpu=$cpu
  last_t=$now
  # Once the list is built, some listed files go.
  if [ "$deleted_done" = 0 ] && [ -f "$log" ] && grep -q "Image Files Count=" "$log"; then
    for f in "${moved[@]}"; do mv "$f" "$work/deleted/"; done
    deleted_done=1
  fi
  [ "$now" -ge "$seconds" ] && break
  sleep 10
done

status=running
if [ -d "/proc/$show" ]; then
  kill -TERM "$show"
  for _ in $(seq 1 150); do
    [ -d "/proc/$show" ] || break
    sleep 0.1
  done
fi
if wait "$show" 2>/dev/null; then status=0; else status=$?; fi
show=""

python3 - "$library/manifest.tsv" "$log" "$samples" "$warmup" "$seconds" "$status" "$work/output.txt" <<'PY'
import sys, datetime, collections
manifest, log, samples, warmup, seconds, status, output = sys.argv[1:]
warmup, seconds, status = int(warmup), int(seconds), int(status) if status.isdigit() else -1

rows = [l.rstrip("\n").split("\t") for l in open(samples)][1:]
rows = [(int(t), int(r or 0), int(c)) for t, r, c in rows if r]
def at(t):
    best = None
    for s in rows:
        if s[0] <= t:
            best = s
    return best or rows[0]
# "Start" is the first sample with the show up, not the bare process.
start_rss = next((r for t, r, _ in rows if t >= 10), rows[0][1])
warm_rss, end_rss = at(warmup)[1], rows[-1][1]
peak_rss = max(r for _, r, _ in rows)
cpu = [c for t, _, c in rows if t > 0]

kinds = {}
for line in open(manifest):
    path, kind, expect = line.rstrip("\n").split("\t")[:3]
    kinds[path] = (kind, expect)

def stamp(line):
    try:
        return datetime.datetime.strptime(line[:17], "%m/%d/%y %H:%M:%S")
    except ValueError:
        return None

outcome = {}          # path -> shown / refused / missing
shown_times, load_times = [], []
current = None
first = None
try:
    lines = open(log, errors="replace").read().splitlines()
except FileNotFoundError:
    lines = []
for line in lines:
    t = stamp(line)
    if t and first is None:
        first = t
    msg = line[20:] if t else line
    if msg.startswith("LoadNewImage: Loading file "):
        current = msg[len("LoadNewImage: Loading file "):]
        load_times.append(t)
    elif msg.startswith("LoadNewImage: Can't find file "):
        p = msg[len("LoadNewImage: Can't find file "):].rsplit(", skipped", 1)[0]
        outcome[p] = "missing"
    elif msg.startswith("Create texture succeeded"):
        shown_times.append(t)
        if current:
            outcome[current] = "shown"
        current = None
    elif current and ("Error " in msg and "loading file=" in msg or "failed" in msg or "SEH Exception" in msg):
        outcome.setdefault(current, "refused")
        if outcome[current] != "shown":
            outcome[current] = "refused"

def per_minute(times, since):
    times = [t for t in times if t and first and (t - first).total_seconds() >= since]
    if not times or not first:
        return 0.0, 0, 0
    span = (times[-1] - first).total_seconds() - since
    minutes = collections.Counter(int(((t - first).total_seconds() - since) // 60) for t in times)
    full = [minutes.get(m, 0) for m in range(int(span // 60))]
    rate = len(times) / (span / 60) if span > 0 else 0.0
    return rate, min(full) if full else 0, max(full) if full else 0

rate, low, high = per_minute(shown_times, warmup)
load_rate, _, _ = per_minute(load_times, warmup)
broken = {p: k for p, (k, e) in kinds.items() if e == "skip"}
drawn = {p: outcome[p] for p in broken if p in outcome}
wrong = {p: o for p, o in drawn.items() if o == "shown"}
good_refused = [p for p, (k, e) in kinds.items() if e == "show" and outcome.get(p) == "refused"]
by_kind = collections.Counter((broken[p], o) for p, o in drawn.items())
crashed = status not in (0,)
growth = (end_rss - warm_rss) * 100.0 / warm_rss if warm_rss else 0.0
sanitizer = [l for l in open(output, errors="replace") if "Sanitizer" in l or "runtime error" in l]

print("soak: figures")
print(f"  run                 {seconds // 60} min, warm-up {warmup} s, exit status {status}")
print(f"  RSS                 start {start_rss / 1024:.1f} MB, after warm-up {warm_rss / 1024:.1f} MB, "
      f"end {end_rss / 1024:.1f} MB, peak {peak_rss / 1024:.1f} MB, growth after warm-up {growth:+.2f} %")
print(f"  CPU                 mean {sum(cpu) / max(len(cpu), 1):.0f} % of one core, highest 10-s sample {max(cpu or [0])} %")
print(f"  photos shown        {len(shown_times)} in all; after warm-up {rate:.1f} a minute "
      f"(whole minutes: {low} to {high}); loads tried {load_rate:.1f} a minute")
print(f"  library             {len(kinds)} files, {len(broken)} broken; drawn {len(set(outcome))} distinct files")
print(f"  broken files drawn  {len(drawn)}: " +
      ", ".join(f"{k} {o} {n}" for (k, o), n in sorted(by_kind.items())))
if wrong:
    print("  broken but shown    " + " ".join(sorted(wrong)))
if good_refused:
    print(f"  good files refused  {len(good_refused)}: " + " ".join(sorted(good_refused)[:10]))
for l in sanitizer[:5]:
    print("  " + l.rstrip())
goals = [
    ("no crash", not crashed and not sanitizer),
    ("every broken file drawn was logged and skipped", not wrong),
    ("RSS after warm-up grows by less than 5 %", growth < 5.0),
    ("Delay honoured: 54 to 66 photos a minute", 54.0 <= rate <= 66.0),
]
for name, ok in goals:
    print(f"  {'PASS' if ok else 'FAIL'}  {name}")
sys.exit(0 if all(ok for _, ok in goals) else 1)
PY
