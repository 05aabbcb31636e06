#!/bin/sh
# Regenerates the bundled company routes (data/Gauges/HalvexFmsZolan/Route/) with halvex-fms on
# the bundled navigation data. Build halvex-fms first; FMS=path overrides where it is.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
FMS=${FMS:-$ROOT/build/apps/halvex-fms/halvex-fms}
rm -rf "$ROOT/data/Gauges/HalvexFmsZolan/Route"
save() { "$FMS" route --root "$ROOT/data" save - "$1" > /dev/null; }

save "org KSEA; dst KPDX; fpln 0 SEA; via V23 BTG; exec"                         # KSEAKPDX1: Victor airway
save "org KSEA; dst KPDX; fpln 0 SEA; fpln 1 BTG; alt 1 10000; alt 2 6000; exec"  # KSEAKPDX2: direct, constraints
save "org KPDX; dst KSEA; fpln 0 BTG; via J1 SEA; exec"                           # KPDXKSEA1
save "org KSFO; dst KLAX; fpln 0 OAK; via J1 FIM; exec"                           # KSFOKLAX1: J1 down the coast
save "org KSEA; dst KBOI; fpln 0 SEA; via J20 PDT; fpln 2 BOI; exec"              # KSEAKBOI1: J20, then direct
"$FMS" route --root "$ROOT/data" list
