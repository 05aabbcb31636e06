#!/usr/bin/env bash
# The whole suite: set-up, then a normal build and a sanitizer build, each built and tested.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" release
(cd "$root/build" && ctest --output-on-failure -j "$(nproc)")
"$root/scripts/build.sh" sanitize
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$root/build-asan" && ctest --output-on-failure -j "$(nproc)")
# The Windows build and its tests under Wine join the suite once the drawing layer has its Windows
# back end; until then HALVEX_WINDOWS=1 runs them.
if [ "${HALVEX_WINDOWS:-0}" = "1" ]; then
  "$root/scripts/build-windows.sh"
fi
