#!/bin/sh
# Opens the calculator window: scripts/run.sh BIN_DIR
# Where there is no display, says so in one line and shows instead what the
# command-line companion computes from the window's initial texts.
set -eu

bin="${1:-build/bin}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): showing quorvel-calc's result for the window's initial texts instead."
    exec "$bin/quorvel-calc"
fi
exec "$bin/quorvel"
