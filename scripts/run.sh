#!/usr/bin/env bash
# Installs what is missing, builds the program (normal build, build/release)
# and starts it. Arguments go to the program: a cue file to open (relative to
# the folder the script is started from), and -c (--console), which only
# Windows needs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/release" --parallel "$(nproc)" --target tarv_cue

exec "$root/build/release/app/tarv_cue" "$@"
