#!/usr/bin/env bash
# Builds the program (normal build, build/release) and starts it. Arguments
# are handed to the program, e.g. a cue file to open.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release --parallel "$(nproc)"

program=build/release/app/tarv_cue
if [ ! -x "$program" ]; then
  echo "tarv_cue is not part of this build yet: its libraries and controls are built and tested, the program arrives with the application shell." >&2
  exit 1
fi
exec "$program" "$@"
