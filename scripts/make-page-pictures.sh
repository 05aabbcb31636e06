#!/usr/bin/env bash
# Draws the pictures of docs/cdu-pages.md: each page as the CDU shows it on the bundled data, the
# route pages along the KSEA to KPDX build, PROG and VNAV from a flight through the gauge module.
#   scripts/make-page-pictures.sh [BUILD_DIR]   (default build/; build it first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fms="${1:-$root/build}/apps/halvex-fms/halvex-fms"
out="$root/docs/pictures"
mkdir -p "$out"

rte1="F2 K S E A L1 K P D X R1 1 6 L L2"
route=(--keys "$rte1" --keys "F3 L1" --keys "L4" --keys "F2 F9 S E A R1 J 1 L2 A L D E R R2" --keys "F3 R1"
  --keys "R3" --keys "R2")
page() {  # page NAME KEYS...
  local name=$1
  shift
  "$fms" cdu --root "$root/data" "$@" --png "$out/$name.png" >/dev/null
}
page index --keys "F1"
page ident --keys "F1 L1"
page pos-init --keys "F1 L2" --keys "K S E A L1"
page perf-init --keys "F1 L3" --keys "F L 1 4 0 R1"
page rte-1 --keys "$rte1"
page dep "${route[@]:0:6}"
page rte-2 "${route[@]:0:8}" --keys "F2 F9"
page arr "${route[@]}"
page legs "${route[@]}" --keys "F4"
page nav-data --keys "F7" --keys "S E A L1"
page ap-modes --keys "K1"
page dir-intc "${route[@]}" --keys "F4 F10" --keys "K4"

# PROG and VNAV with live guidance: the same plan flown, the pages shown at 10 and 20 minutes.
scenario=$(mktemp)
trap 'rm -f "$scenario"' EXIT
cat >"$scenario" <<SCENARIO
at 0 keys $rte1
at 0 keys F3 L1
at 0 keys L4
at 0 keys F2 F9 S E A R1 J 1 L2 A L D E R R2
at 0 keys F3 R1
at 0 keys R3
at 0 keys R2
at 0 keys F1 L3
at 0 keys 1 4 0 0 0 R1
at 0 keys F4 F10
at 1 click AP85 422 47
at 1 click AP85 78 47
at 1 click AP85 78 121
at 599 keys F6
at 1199 keys F5
SCENARIO
pictures=$(mktemp -d)
"$fms" fly --root "$root/data" --scenario "$scenario" --minutes 20.1 --png-every 600 "$pictures" --quiet >/dev/null
cp "$pictures/cdu-000600.png" "$out/prog.png"
cp "$pictures/cdu-001200.png" "$out/vnav.png"
cp "$pictures/ehsi-001200.png" "$out/ehsi.png"
rm -rf "$pictures"
du -sh "$out"
