# Sourced by somnaro.sh: one virtual display and one wineserver per prefix for
# a whole run, and pictures of what Somnaro.scr shows.
#   display_up          a virtual display, unless a real one is used
#   prefix_up WIDTH     the prefix made ready and its server started: the
#                       build's own, or $WINEPREFIX when set
#   session_down        every server and the display stopped (runs on exit)
#   scr_shoot WIDTH OUT window|screen [ARGS...]
#                       Somnaro.scr started with ARGS; its window (or the whole
#                       screen) saved as a PNG once that window shows and
#                       SOMNARO_RUN_SECONDS (1) more have passed, then ended
# Needs $top (the source tree) and $build (the build tree).

wine_at() { "$top/tools/wine-exec.sh" "$@"; }

xvfb_pid=""
session_widths=()

display_up() {
  if [ -z "${DISPLAY:-}" ] || [ "${SOMNARO_OWN_DISPLAY:-1}" = 1 ]; then
    local fdfile; fdfile=$(mktemp)
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$fdfile" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
  fi
  trap session_down EXIT
}

prefix_up() {
  local width=$1 prefix=${WINEPREFIX:-$build/$1/wineprefix}
  session_widths+=("$width")
  # The wineserver must first start with DISPLAY set, or no window can ever
  # be made in this prefix.
  wine_at "$width" wineserver -k 2>/dev/null || true
  wine_at "$width" wineserver -w 2>/dev/null || true
  if [ ! -f "$prefix/system.reg" ]; then
    WINEDLLOVERRIDES="mscoree,mshtml=" wine_at "$width" wineboot -i >/dev/null 2>&1
    wine_at "$width" wineserver -w
  fi
  # This Wine loads its own fonts (among them the symbol font that draws the
  # caption buttons) only from the prefix's Fonts folder, which its prefix
  # set-up leaves empty; Debian's fonts-wine has them.
  cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
  wine_at "$width" wineserver -p
  # Without a window manager Wine waits whenever a managed window goes.
  wine_at "$width" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # A crashing program is reported on standard error and ended, not held
  # open in a crash dialog until the test's time limit.
  wine_at "$width" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}

session_down() {
  local width
  for width in "${session_widths[@]}"; do wine_at "$width" wineserver -k 2>/dev/null || true; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}

# The X window of the first window titled "Somnaro v0.5", waited for while the
# program runs (emulated, the saver's window takes several seconds).
scr_window() {
  local pid=$1 id=""
  for _ in $(seq 600); do
    id=$(xwininfo -root -tree 2>/dev/null | awk '/"Somnaro v0.5"/ {print $1; exit}')
    [ -n "$id" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "$id"
}

scr_shoot() {
  local width=$1 out=$2 what=$3 id
  shift 3
  wine_at "$width" "$build/$width/bin/Somnaro.scr" "$@" &
  local pid=$!
  id=$(scr_window "$pid")
  sleep "${SOMNARO_RUN_SECONDS:-1}"   # let it paint
  mkdir -p "$(dirname "$out")"
  if [ "$what" = screen ]; then
    xwd -root -silent | python3 "$top/tools/xwd2png.py" "$out"
  elif [ -n "$id" ]; then
    xwd -silent -id "$id" | python3 "$top/tools/xwd2png.py" "$out"
  fi
  [ -f "$out" ] && echo "saved $out"
  [ -n "$id" ] || echo "no window for Somnaro.scr $*" >&2
  # Ending the prefix's server ends the program; the server is started again
  # for whatever follows.
  wine_at "$width" wineserver -k 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  wine_at "$width" wineserver -p
  [ -n "$id" ]
}
