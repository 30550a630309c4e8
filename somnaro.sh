#!/usr/bin/env bash
# Sets up, builds, runs and tests Somnaro on a Debian 12 machine.
#   ./somnaro.sh run [ARGS...]   install and build only what it needs, run the
#                                shipped Somnaro.scr under Wine as on 32-bit
#                                Windows
#                                (SOMNARO_TARGET=wow64: as on 64-bit Windows;
#                                x86_64: the fast 64-bit build instead;
#                                SOMNARO_DPI=N: at N dpi, not 96)
#   ./somnaro.sh test [ARGS...]  install, build, run the test suite for the
#                                three targets (ARGS go to every ctest run)
#   ./somnaro.sh build           install and build only
#   ./somnaro.sh release         install, build, and write what a Windows user
#                                downloads into dist/ (installer/make-release.sh)
#   ./somnaro.sh screenshots     pictures of the shipped file's cancel window
#                                and settings dialog, at 96 dpi and again at
#                                SOMNARO_DPI (144), of its preview, ready and
#                                with hibernation off, and of the installer's
#                                final page, into docs/
#   ./somnaro.sh bench           install, build and measure start-up, idle cost,
#                                size and toolkit costs into bench/results/
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
build=$top/build
# The shipped file is the i686 build, run by Debian's i386 Wine (natively, or
# emulated where the kernel runs no 32-bit code); the x86_64 build of the same
# sources runs the fast suite and the benchmark under wine64.
product=$build/i686/bin/Somnaro.scr

# install [TARGET]: everything, or only what running TARGET needs: its
# compiler, and the 32-bit Wine (i686) with the WoW64 loader folder (wow64).
install() { "$top/tools/setup.sh" "${1:-all}" "$build"; }

# compile [TARGET]: both widths with every test program, or only what running
# TARGET needs: its Somnaro.scr and the stand-in tool. The trees are set up
# alike either way, so a later full build only adds what is missing.
compile() {
  local jobs width widths=(i686 x86_64) only=(); jobs=$(nproc)
  case "${1:-all}" in
    all) ;;
    x86_64) widths=(x86_64); only=(--target Somnaro psshutdown) ;;
    *) widths=(i686); only=(--target Somnaro psshutdown) ;;
  esac
  for width in "${widths[@]}"; do
    cmake -S "$top" -B "$build/$width" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$width.cmake" \
          -DCMAKE_BUILD_TYPE=Release -DSOMNARO_TESTS=ON -DSOMNARO_PRODUCT="$product" >/dev/null
    cmake --build "$build/$width" -j "$jobs" "${only[@]}"
  done
}

. "$top/tools/wine-session.sh"

cmd=${1:-}
[ $# -gt 0 ] && shift
case "$cmd" in
  build)
    install; compile ;;
  test)
    install; compile; display_up
    prefix_up x86_64; prefix_up i686; prefix_up wow64
    failed=0
    # The wow64 runs are the i686 build's tests labelled wow64.
    for target in x86_64 i686 wow64; do
      case "$target" in
        x86_64) dir=x86_64 labels=() ;;
        i686) dir=i686 labels=(-LE wow64) ;;
        wow64) dir=i686 labels=(-L wow64) ;;
      esac
      start=$(date +%s)
      (cd "$build/$dir" && ctest --output-on-failure --timeout 900 "${labels[@]}" "$@") || failed=1
      echo "$target suite wall time: $(( $(date +%s) - start )) s"
    done
    exit "$failed" ;;
  run)
    target=${SOMNARO_TARGET:-i686}
    bin=$(target_bin "$target")
    install "$target"; compile "$target"
    if [ -n "${DISPLAY:-}" ] && [ "${SOMNARO_OWN_DISPLAY:-0}" != 1 ]; then
      # A real display: the program runs until it ends by itself.
      SOMNARO_OWN_DISPLAY=0 display_up; prefix_up "$target" "${SOMNARO_DPI:-96}"
      log=$(tool_place "$target")
      wine_at "$target" "$bin/Somnaro.scr" "$@" || true
    else
      # No display: a virtual one, a picture once the window shows, then stop.
      display_up; prefix_up "$target" "${SOMNARO_DPI:-96}"; log=$(tool_place "$target")
      scr_shoot "$target" "$build/shots/run.png" screen "$@" || true
    fi
    if [ -f "$log" ]; then
      echo "psshutdown was started with:"; cat "$log"
    fi ;;
  screenshots)
    # Pictures of the shipped file, as users see it.
    install; compile; display_up; prefix_up i686; tool_place i686 >/dev/null
    scr_shoot i686 "$top/docs/cancel-window.png" window /s
    scr_shoot i686 "$top/docs/settings-dialog.png" window /c
    # The preview draws from the preview's height alone, so once is enough.
    preview_shoot i686 "$top/docs/preview-ready.png"
    preview_shoot i686 "$top/docs/preview-not-ready.png" off
    # The same at a larger display scale; the prefix goes back to 96 at its
    # next start.
    dpi=${SOMNARO_DPI:-144}
    prefix_up i686 "$dpi"
    scr_shoot i686 "$top/docs/cancel-window-${dpi}dpi.png" window /s
    scr_shoot i686 "$top/docs/settings-dialog-${dpi}dpi.png" window /c
    "$top/installer/finish-page-shot.sh" "$build/i686" "$top/docs/installer-finish.png" ;;
  release)
    # An older release goes first; a wrong address for winget stops this one
    # before the build.
    rm -rf "$top/dist"
    "$top/installer/make-winget.sh" --check
    install; compile
    "$top/installer/make-release.sh" "$build/i686" "$top/dist" ;;
  bench)
    install; compile; display_up; prefix_up x86_64; tool_place x86_64 >/dev/null
    timeout 300 "$top/bench/run.sh" "$build/x86_64" "$product" ;;
  *)
    echo "usage: $0 run [ARGS...] | test [ARGS...] | build | release | screenshots | bench" >&2; exit 2 ;;
esac
