#!/usr/bin/env bash
# The main job: set-up, build, then a short demo flight, KSEA to KPDX, through the gauge module on
# the bundled simulator tree. With a display it flies in a window at 20 times real time (close the
# window to stop); without one it flies headless and writes the final panel picture and the track
# plot into build/demo/. Arguments, when given, go to `halvex-fms cdu` instead, as before.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" release
fms="$root/build/apps/halvex-fms/halvex-fms"
[ $# -gt 0 ] && exec "$fms" cdu --root "$root/data" "$@"

plan="org KSEA; dst KPDX; orgrwy 16L; sid SEA7; wp 6 SEA; via J1 ALDER; dstrwy 28R; app ILS28R; star HHOOD3; exec"
demo=(fly --root "$root/data" --plan "$plan" --crz 14000 --quiet)
if [ -n "${DISPLAY:-}" ]; then
  status=0
  "$fms" "${demo[@]}" --window --rate 20 || status=$?
  [ "$status" -ne 3 ] && exit "$status"  # 3: no window could be opened; fly headless instead
fi
out="$root/build/demo"
mkdir -p "$out"
"$fms" "${demo[@]}" --panel-png "$out/panel.png" --plot "$out/track.png" --track "$out/track.csv"
echo "demo: the panel at the end is $out/panel.png, the flown track $out/track.png"
