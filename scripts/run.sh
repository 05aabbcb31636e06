#!/usr/bin/env bash
# The main job: set-up, build, then the CDU on the bundled simulator tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" release
exec "$root/build/apps/halvex-fms/halvex-fms" cdu --root "$root/data" "$@"
