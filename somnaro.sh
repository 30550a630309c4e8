#!/usr/bin/env bash
# Sets up, builds, runs and tests Somnaro on a Debian 12 machine.
#   ./somnaro.sh run [ARGS...]   install, build, run Somnaro.scr under Wine
#   ./somnaro.sh test            install, build, run the whole test suite
#   ./somnaro.sh build           install and build only
#   ./somnaro.sh screenshots     pictures of the cancel window and the settings
#                                dialog into docs/
#   ./somnaro.sh bench           install, build and measure start-up, idle cost,
#                                size and toolkit costs into bench/results/
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
build=$top/build
# Wine here runs 64-bit Windows programs: the tests and the run command use
# the x86_64 build of the same sources; the shipped file is the i686 build.
native=$build/x86_64
product=$build/i686/bin/Somnaro.scr

packages=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb
          x11-apps x11-utils googletest python3 binutils-mingw-w64-i686)

install() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

compile() {
  local jobs; jobs=$(nproc)
  cmake -S "$top" -B "$build/i686" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build/i686" -j "$jobs" --target Somnaro
  cmake -S "$top" -B "$native" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DSOMNARO_TESTS=ON -DSOMNARO_PRODUCT="$product" >/dev/null
  cmake --build "$native" -j "$jobs"
}

# One virtual display and one wineserver for a whole run; both stop on exit.
xvfb_pid=""
wine_up() {
  export WINEPREFIX=$native/wineprefix WINEARCH=win64 WINEDEBUG=-all
  if [ -z "${DISPLAY:-}" ] || [ "${SOMNARO_OWN_DISPLAY:-1}" = 1 ]; then
    local fdfile; fdfile=$(mktemp)
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$fdfile" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
  fi
  trap wine_down EXIT
  # The wineserver must first start with DISPLAY set, or no window can ever
  # be made in this prefix.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  wineserver -p
  # Without a window manager Wine waits whenever a managed window goes.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # A crashing program is reported on standard error and ended, not held
  # open in a crash dialog until the test's time limit.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

wine_down() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}

# Starts Somnaro.scr with a mode, waits for its window and saves that window
# as a PNG; the program is ended afterwards.
window_shoot() {
  local mode=$1 out=$2 id=""
  wine "$native/bin/Somnaro.scr" "$mode" &
  local pid=$!
  for _ in $(seq 100); do
    id=$(xwininfo -root -tree 2>/dev/null | awk '/"Somnaro v0.5"/ {print $1; exit}')
    [ -n "$id" ] && break
    sleep 0.1
  done
  sleep 1   # let it paint
  if [ -n "$id" ]; then
    xwd -silent -id "$id" | python3 "$top/tools/xwd2png.py" "$out"
    echo "saved $out"
  else
    echo "no window for $mode" >&2
  fi
  wineserver -k 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  wineserver -p
  [ -n "$id" ]
}

cmd=${1:-}
[ $# -gt 0 ] && shift
case "$cmd" in
  build)
    install; compile ;;
  test)
    install; compile; wine_up
    start=$(date +%s)
    (cd "$native" && ctest --output-on-failure --timeout 900 "$@")
    echo "suite wall time: $(( $(date +%s) - start )) s" ;;
  run)
    bin=$native/bin
    if [ -n "${DISPLAY:-}" ] && [ "${SOMNARO_OWN_DISPLAY:-0}" != 1 ]; then
      # A real display: the program runs until it ends by itself.
      install; compile; SOMNARO_OWN_DISPLAY=0 wine_up
      rm -f "$bin/psshutdown.log"
      wine "$bin/Somnaro.scr" "$@" || true
    else
      # No display: a virtual one, a screenshot after a few seconds, then stop.
      install; compile; wine_up
      rm -f "$bin/psshutdown.log"
      wine "$bin/Somnaro.scr" "$@" &
      pid=$!
      sleep "${SOMNARO_RUN_SECONDS:-5}"
      mkdir -p "$build/shots"
      xwd -root -silent -display "$DISPLAY" | python3 "$top/tools/xwd2png.py" "$build/shots/run.png"
      echo "screenshot: $build/shots/run.png"
      wineserver -k 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
    if [ -f "$bin/psshutdown.log" ]; then
      echo "psshutdown was started with:"; cat "$bin/psshutdown.log"
    fi ;;
  screenshots)
    install; compile; wine_up
    mkdir -p "$top/docs"
    window_shoot /s "$top/docs/cancel-window.png"
    window_shoot /c "$top/docs/settings-dialog.png" ;;
  bench)
    install; compile; wine_up
    timeout 300 "$top/bench/run.sh" "$native" "$product" ;;
  *)
    echo "usage: $0 run [ARGS...] | test | build | screenshots | bench" >&2; exit 2 ;;
esac
