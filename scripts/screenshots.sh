#!/usr/bin/env bash
# Screenshots for a person to look at: the tarv_ui control gallery and every
# window of the running program.
#
#   ./scripts/screenshots.sh [build-dir]      (default build/screenshots)
#
# Both run under Xvfb with Mesa's OpenGL. The gallery draws drop shadows and
# other shader effects as on a desktop (the offscreen platform of the tests
# draws none of them); the program, finding Mesa's software rasterizer,
# draws with Qt Quick's software renderer, as on a machine without a
# graphics driver.
# - The gallery (tests/qml/tarv_ui/screenshots) writes one PNG per section
#   and page.png (all sections stacked) to <build-dir>/screenshots/; it fails
#   on any QML warning.
# - The program (tests/e2e/program_screenshots.py) runs on a private display
#   with openbox and a private sound server, is driven with keys and clicks,
#   and writes one PNG per window to <build-dir>/screenshots/program/: the
#   main window with a cue running and a wait counting down, each editor, the
#   OSC manager and its destination editor, the sound-effect manager with
#   previews playing, both sound editors, About, acknowledgements, the
#   message and prompt windows. It fails when a window did not open.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

build=${1:-build/screenshots}
jobs=${JOBS:-$(nproc)}
cmake -S . -B "$build" -G Ninja -DTARV_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --parallel "$jobs" --target tarv_ui_screenshots tarv_cue tarv_sfx_effects

out="$build/screenshots"
mkdir -p "$out"
export QT_QPA_PLATFORM=xcb
export QT_QUICK_CONTROLS_STYLE=Basic
export XDG_RUNTIME_DIR="$PWD/$out/runtime"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX" \
  "$build/tests/qml/tarv_ui/screenshots/tarv_ui_screenshots" "$out"

python3 tests/e2e/program_screenshots.py "$build/app/tarv_cue" "$build/sfx/effects" "$out/program"
ls "$out/program"/*.png
