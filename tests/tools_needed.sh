# Sourced by the shell tests: a tool that a test reads the product with,
# missing, fails the test saying so, never as a verdict on the product.
#   tools_needed TOOL:PACKAGE...   (PACKAGE: the Debian package that has TOOL)
tools_needed() {
  local t
  for t in "$@"; do
    command -v "${t%%:*}" >/dev/null && continue
    echo "FAIL: no ${t%%:*} (Debian's ${t#*:}), which ./somnaro.sh test installs"
    exit 1
  done
}
