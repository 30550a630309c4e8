# Sourced by somnaro.sh: one virtual display and one wineserver per prefix for
# a whole run, and pictures of what Somnaro.scr shows.
#   display_up          a virtual display, unless a real one is used
#   target_bin TARGET   the folder of the programs that TARGET runs (wow64
#                       runs the i686 build's)
#   prefix_up TARGET [DPI]
#                       the prefix made ready and its server started: the
#                       target's own, or $WINEPREFIX when set; every program
#                       in it gets DPI (96 unless given) until the prefix
#                       is next made ready; a new prefix is a copy of
#                       prefix_made's
#   prefix_made TARGET  a new prefix of TARGET's kind, made once
#   tool_place TARGET   the stand-in psshutdown.exe put where the saver looks
#                       for the real one, the prefix's Windows folder; prints
#                       the path of the log it writes there, emptied
#   session_down        every server and the display stopped (runs on exit)
#   window_wait PID [TITLE]
#                       the X window of PID's window titled TITLE, once shown
#   scr_shoot TARGET OUT window|screen [ARGS...]
#                       Somnaro.scr started with ARGS; its window (or the whole
#                       screen) saved as a PNG once that window shows and
#                       SOMNARO_RUN_SECONDS (1) more have passed, then ended
#   preview_shoot TARGET OUT [off]
#                       the preview's picture at 152 x 112 as this prefix
#                       gives it (with off: hibernation switched off), saved
#                       as a PNG; painted by the preview's own function in
#                       one process, since Wine draws no child window that
#                       belongs to another process
# Needs $top (the source tree) and $build (the build tree).

wine_at() { "$top/tools/wine-exec.sh" "$@"; }

xvfb_pid=""
session_targets=()

target_bin() {
  case "$1" in
    wow64) echo "$build/i686/bin" ;;
    *) echo "$build/$1/bin" ;;
  esac
}

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
  local target=$1 prefix=${WINEPREFIX:-$build/$1/wineprefix} made
  session_targets+=("$target")
  # The wineserver must first start with DISPLAY set, or no window can ever
  # be made in this prefix.
  wine_at "$target" wineserver -k 2>/dev/null || true
  wine_at "$target" wineserver -w 2>/dev/null || true
  if [ ! -f "$prefix/system.reg" ]; then
    made=$(prefix_made "$target") || return 1
    rm -rf "$prefix"
    mkdir -p "$(dirname "$prefix")"
    "$top/tools/prefix-copy.sh" "$made" "$prefix"
  fi
  # This Wine loads its own fonts (among them the symbol font that draws the
  # caption buttons) only from the prefix's Fonts folder, which its prefix
  # set-up leaves empty; Debian's fonts-wine has them.
  cp -n /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
  # Read by the server as it starts, so set while it is down; set every time,
  # so that a run at another DPI leaves no test of the prefix at it.
  python3 "$top/tools/prefix_dpi.py" "$prefix" "${2:-96}"
  wine_at "$target" wineserver -p
  # One import, since every Windows process costs seconds under emulation:
  # without a window manager Wine waits whenever a managed window goes; a
  # crashing program is reported on standard error and ended, not held open
  # in a crash dialog until the test's time limit; and psshutdown's licence
  # is accepted by this account, as by a user who ran it once, or the saver
  # would rightly refuse to start it.
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_CURRENT_USER\Software\Sysinternals\PsShutdown]' '"EulaAccepted"=dword:00000001' \
    >"$prefix/drive_c/somnaro-prefix.reg"
  wine_at "$target" reg import 'C:\somnaro-prefix.reg' >/dev/null 2>&1
  rm -f "$prefix/drive_c/somnaro-prefix.reg"
}

# prefix_made TARGET: prints the folder of a new prefix of TARGET's Windows
# kind, made by wineboot once per build tree, with its server down. Every
# prefix of that kind starts as a copy of it: wineboot costs a minute under
# an emulated 32-bit Wine, and a run needs several prefixes of each kind.
prefix_made() {
  local target=$1 made=$top/build/prefixes/$1
  if [ ! -f "$made/system.reg" ]; then
    rm -rf "$made"
    mkdir -p "$(dirname "$made")"   # Wine makes the prefix, not its parent
    WINEPREFIX=$made WINEDLLOVERRIDES="mscoree,mshtml=" wine_at "$target" wineboot -i >/dev/null 2>&1
    WINEPREFIX=$made wine_at "$target" wineserver -w
    # When a 64-bit prefix's 32-bit side cannot start, wineboot still ends
    # with 0; only an empty syswow64 shows it.
    if [ "$target" = wow64 ] && [ ! -f "$made/drive_c/windows/syswow64/kernel32.dll" ]; then
      echo "the 64-bit prefix $made has no 32-bit side; removed" >&2
      rm -rf "$made"
      return 1
    fi
  fi
  echo "$made"
}

tool_place() {
  local windows=${WINEPREFIX:-$build/$1/wineprefix}/drive_c/windows
  cp "$(target_bin "$1")/psshutdown.exe" "$windows/psshutdown.exe"
  rm -f "$windows/psshutdown.log"
  echo "$windows/psshutdown.log"
}

session_down() {
  local target
  for target in "${session_targets[@]}"; do wine_at "$target" wineserver -k 2>/dev/null || true; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}

# The X window of the first window whose title matches TITLE (an awk pattern,
# "Somnaro v0.5" unless given), waited for while the program PID runs
# (emulated, the saver's window takes several seconds).
window_wait() {
  local pid=$1 title=${2:-Somnaro v0.5} id=""
  for _ in $(seq 600); do
    id=$(xwininfo -root -tree 2>/dev/null | awk -v title="\"$title\"" '$0 ~ title {print $1; exit}')
    [ -n "$id" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "$id"
}

preview_shoot() {
  local target=$1 out=$2 off=${3:-} bmp status=0
  local power='HKLM\SYSTEM\CurrentControlSet\Control\Power'
  bmp=$(mktemp --suffix=.bmp)
  [ -z "$off" ] || wine_at "$target" reg add "$power" /v HibernateEnabled /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine_at "$target" "$(target_bin "$target")/preview_shot.exe" "Z:$bmp" || status=$?
  [ -z "$off" ] || wine_at "$target" reg delete "$power" /v HibernateEnabled /f >/dev/null 2>&1
  if [ "$status" = 0 ]; then
    mkdir -p "$(dirname "$out")"
    python3 "$top/tools/bmp2png.py" "$bmp" "$out" && echo "saved $out"
  else
    echo "no preview picture for $out" >&2
  fi
  rm -f "$bmp"
  return "$status"
}

scr_shoot() {
  local target=$1 out=$2 what=$3 id
  shift 3
  wine_at "$target" "$(target_bin "$target")/Somnaro.scr" "$@" &
  local pid=$!
  id=$(window_wait "$pid")
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
  wine_at "$target" wineserver -k 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  wine_at "$target" wineserver -p
  [ -n "$id" ]
}
