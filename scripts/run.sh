#!/bin/sh
# Opens the calculator window: scripts/run.sh BIN_DIR
# Where there is no display to open it on (none named, or the one named in
# DISPLAY does not answer), says so in one line and shows instead what the
# command-line companion computes from the window's initial texts.
set -eu

bin="${1:-build/bin}"

# Shows the companion's result for the window's initial texts, after REASON.
fall_back() {
    echo "$1: showing quorvel-calc's result for the window's initial texts instead."
    exec "$bin/quorvel-calc"
}

# True when the X display in DISPLAY accepts a connection. xdpyinfo (x11-utils)
# connects as the window would; timeout stops a wait on a host that never answers.
x_display_answers() {
    command -v xdpyinfo >/dev/null 2>&1 || return 0
    timeout 10 xdpyinfo >/dev/null 2>&1
}

if [ -n "${DISPLAY:-}" ]; then
    if x_display_answers; then
        exec "$bin/quorvel"
    fi
    if [ -z "${WAYLAND_DISPLAY:-}" ]; then
        fall_back "The display DISPLAY=$DISPLAY does not answer"
    fi
    # An X display that is gone beside a Wayland one: the window goes to Wayland.
    unset DISPLAY
fi
if [ -z "${WAYLAND_DISPLAY:-}" ]; then
    fall_back "No display (neither DISPLAY nor WAYLAND_DISPLAY is set)"
fi
exec "$bin/quorvel"
