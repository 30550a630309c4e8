#!/usr/bin/env bash
# The saver's windows at another DPI on one Windows kind: a copy of the
# installer tests' template prefix (see tests/installer/scenario.sh) given
# that DPI before its server starts, where DisplayScaleTest runs again; the
# suites run it at 96. The test is told the DPI, so a prefix that kept 96
# cannot pass for another.
#   tests/e2e/display_scale_scenario.sh BUILD_DIR WORK_DIR TARGET DPI
set -u
dpi=$4
. "$(dirname "$0")/../installer/scenario.sh" "$1" "$2" "$3"

scenario "display-$dpi"
server_down
python3 "$top/tools/prefix_dpi.py" "$prefix" "$dpi"
server_up
export SOMNARO_EXPECT_DPI=$dpi
timeout 600 "$top/tools/wine-exec.sh" "$target" "$build/bin/e2e_tests.exe" --gtest_color=no \
  --gtest_filter='DisplayScaleTest.*' >"$prefix/display-scale.log" 2>&1
check "DisplayScaleTest at $dpi dpi" 0 $?
cat "$prefix/display-scale.log"
finish
