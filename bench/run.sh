#!/usr/bin/env bash
# Runs every measurement once, under the Wine and display that ./somnaro.sh
# bench has set up, and writes results/results.md and results/latency.png.
#   bench/run.sh X86_64_BUILD_DIR I686_SOMNARO_SCR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
native=$1
product=$2
bin=$native/bin
results=$here/results
raw=$results/raw.txt
runs=${BENCH_RUNS:-15}
idle_seconds=10
mkdir -p "$results"
: >"$raw"

wine_exec=$here/../tools/wine-exec.sh
winpath() { echo "Z:${1//\//\\}"; }
note() { echo "$*" >>"$raw"; }

driver() { timeout 120 "$wine_exec" x86_64 "$bin/bench_driver.exe" "$@" 2>/dev/null | tr -d '\r'; }

scr="\"$(winpath "$bin/Somnaro.scr")\" /s"
minimal="\"$(winpath "$bin/bench_minimal.exe")\""
minimal_cc6="\"$(winpath "$bin/bench_minimal_cc6.exe")\""
baseline="\"$(winpath "$bin/bench_baseline.exe")\""
toollog=$native/bench-tool.log
export PSSHUTDOWN_LOG; PSSHUTDOWN_LOG=$(winpath "$toollog")
# The setting is left alone: with none, saver mode schedules with 60.

note "info date $(date -u '+%Y-%m-%d %H:%M UTC')"
note "info machine $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(nproc) cores, $(uname -sr)"
note "info wine $(wine --version 2>/dev/null)"

# Size of the shipped file, its code and what it imports.
note "info file $(stat -c %s "$product") bytes"
text_hex=$(i686-w64-mingw32-objdump -h "$product" | awk '$2 == ".text" {print $3; exit}')
note "info text $((16#${text_hex:-0})) bytes"
note "info imports $(i686-w64-mingw32-objdump -p "$product" | awk '/DLL Name:/ {print $3}' | sort -f | paste -sd, -)"

# Start-up latency, the programs taking turns so that drift hits all alike;
# the first run of each only warms the caches. Somnaro and the baseline saver
# are done when their window shows and the tool has written its line.
echo "latency: $runs runs each"
driver latency somnaro 1 "$PSSHUTDOWN_LOG" "$scr" >/dev/null
driver latency baseline 1 "$PSSHUTDOWN_LOG" "$baseline" >/dev/null
driver latency minimal 1 - "$minimal" >/dev/null
for _ in $(seq "$runs"); do
  driver latency somnaro 1 "$PSSHUTDOWN_LOG" "$scr" >>"$raw"
  driver latency baseline 1 "$PSSHUTDOWN_LOG" "$baseline" >>"$raw"
  driver latency minimal 1 - "$minimal" >>"$raw"
  driver latency minimal_dlls 1 - "$minimal /dlls" >>"$raw"
  # The same, with Somnaro's manifest: comctl32 6 from the side-by-side store.
  driver latency minimal_cc6 1 - "$minimal_cc6 /dlls" >>"$raw"
done

# What starting the tool alone costs saver mode before its window opens.
driver spawn "$runs" "\"$(winpath "$bin/psshutdown.exe")\" -f -h -t 60" >>"$raw"
# What asking whether the tool can hibernate costs saver mode before it.
driver checks "$runs" >>"$raw"

# CPU time of the Linux processes that carry a Windows program, in ns, summed
# over their threads.
cpu_ns() {
  local total=0 t
  for t in /proc/"$1"/task/*/schedstat; do
    read -r run _ <"$t" 2>/dev/null && total=$((total + run))
  done
  echo "$total"
}

# The Linux process that carries the program (Wine puts its Windows path
# first in the command line) and was not running before.
program_pid() {
  local name=$1 before=$2 p first
  for p in $(ls /proc | grep -E '^[0-9]+$'); do
    [[ " $before " == *" $p "* ]] && continue
    first=$(tr '\0' '\n' <"/proc/$p/cmdline" 2>/dev/null | head -n1)
    [ "${first##*[\\/]}" = "$name" ] && { echo "$p"; return; }
  done
}

# POINTER: where the mouse pointer rests meanwhile, "x y" on the screen.
idle_measure() {
  local label=$1 name=$2 line=$3 pointer=$4 out pid before t0 t1
  out=$(mktemp)
  before=$(ls /proc | grep -E '^[0-9]+$' | tr '\n' ' ')
  # Straight into the file: "ready" must show while the driver still runs.
  timeout 60 "$wine_exec" x86_64 "$bin/bench_driver.exe" hold $((idle_seconds + 3)) "$line" >"$out" 2>/dev/null &
  local holder=$!
  for _ in $(seq 200); do grep -q '^ready' "$out" && break; sleep 0.1; done
  # shellcheck disable=SC2086  # two numbers
  xdotool mousemove $pointer
  sleep 1  # past the first paint
  pid=$(program_pid "$name" "$before")
  if [ -n "$pid" ]; then
    t0=$(cpu_ns "$pid"); sleep "$idle_seconds"; t1=$(cpu_ns "$pid")
    note "idle $label $(python3 -c "print(($t1 - $t0) / 1e6)")"
    echo "idle $label: Linux process $pid, CPU ${t0} ns before, ${t1} ns after"
  else
    echo "idle $label: process not found" >&2
  fi
  wait "$holder"
  rm -f "$out"
}

# The pointer away from the window, as it mostly is when a saver starts; and
# resting on the button, whose themed hot look Wine follows by polling the
# pointer every millisecond while it is there (Windows tells the button when
# the pointer leaves instead, at no cost).
away="10 10" on_button="420 360"
echo "idle: ${idle_seconds} s each"
idle_measure somnaro Somnaro.scr "$scr" "$away"
idle_measure somnaro_on_button Somnaro.scr "$scr" "$on_button"
idle_measure minimal bench_minimal.exe "$minimal" "$away"

echo "toolkit costs"
driver toolkit >>"$raw"

python3 "$here/report.py" "$raw" "$results"

# The README shows the latest table between its two markers.
readme=$here/../README.md
if grep -q '<!-- bench:begin -->' "$readme"; then
  python3 - "$readme" "$results/results.md" <<'PY'
import sys, re
readme, table = sys.argv[1], open(sys.argv[2]).read().replace("](latency.png)", "](bench/results/latency.png)")
text = open(readme).read()
text = re.sub(r"(<!-- bench:begin -->\n).*?(<!-- bench:end -->)",
              lambda m: m.group(1) + table + m.group(2), text, flags=re.S)
open(readme, "w").write(text)
PY
fi
