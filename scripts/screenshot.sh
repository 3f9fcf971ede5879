#!/bin/sh
# Draws the calculator window after one calculation into a PNG:
#   scripts/screenshot.sh BIN_DIR OUTPUT.png
# Runs under a virtual X server (Xvfb, at 96 dots per inch) where xvfb-run is
# installed, otherwise on Qt's offscreen platform; both draw the same window.
set -eu

bin="${1:-build/bin}"
out="${2:-docs/screenshot.png}"
program="$bin/quorvel-screenshot"

if [ ! -x "$program" ]; then
    echo "screenshot: $program is missing; it is built with the tests (BUILD_TESTING=ON)" >&2
    exit 1
fi
mkdir -p "$(dirname "$out")"

if command -v xvfb-run >/dev/null 2>&1; then
    QT_QPA_PLATFORM=xcb xvfb-run --auto-servernum --server-args="-screen 0 800x600x24 -dpi 96" \
        "$program" "$out"
else
    QT_QPA_PLATFORM=offscreen "$program" "$out"
fi
echo "screenshot: wrote $out"
