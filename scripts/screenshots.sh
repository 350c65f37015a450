#!/usr/bin/env bash
# Screenshots of the tarv_ui control gallery, for a person to look at.
#
#   ./scripts/screenshots.sh [build-dir]      (default build/screenshots)
#
# Builds the gallery (tests/qml/tarv_ui/screenshots) and runs it under Xvfb
# with Mesa's OpenGL, so drop shadows and other shader effects are drawn as on
# a desktop (the offscreen platform of the tests draws none of them). Writes
# one PNG per gallery section and page.png (all sections stacked) to
# <build-dir>/screenshots/ and lists them. Fails on any QML warning.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

build=${1:-build/screenshots}
jobs=${JOBS:-$(nproc)}
cmake -S . -B "$build" -G Ninja -DTARV_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --parallel "$jobs" --target tarv_ui_screenshots

out="$build/screenshots"
mkdir -p "$out"
export QT_QPA_PLATFORM=xcb
export QT_QUICK_CONTROLS_STYLE=Basic
export XDG_RUNTIME_DIR="$PWD/$out/runtime"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX" \
  "$build/tests/qml/tarv_ui/screenshots/tarv_ui_screenshots" "$out"
