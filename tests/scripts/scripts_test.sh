#!/bin/sh
# The set-up and run scripts, as far as they go without installing or
# building anything:  scripts_test.sh CASE SOURCE_DIR BUILD_DIR
#   deps                 every package, library and program the build found
#                        comes from a package scripts/install-deps.sh lists,
#                        or from one those depend on
#   open-elsewhere       open.sh and check.sh, started from another folder,
#                        hand over to make in the source folder (make, sudo
#                        and apt-get are stand-ins that only note their call)
#   no-display           run.sh with neither DISPLAY nor WAYLAND_DISPLAY:
#   unreachable-display  or with a DISPLAY that does not answer: one line
#                        saying so, then exactly what quorvel-calc prints
# Exits 77 (skipped) where the machine lacks what the case needs.
set -eu

case=$1
src=$(cd "$2" && pwd -P)
build=$(cd "$3" && pwd -P)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-scripts.XXXXXX")
trap 'rm -rf "$scratch"' EXIT INT TERM

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The cache entries that name what the build found under /usr: package
# configuration folders, pkg-config's libraries, and the programs it runs;
# then the programs the scripts run (make for open.sh and check.sh, xdpyinfo
# for run.sh).
found_paths() {
    sed -n -E 's/^([A-Za-z0-9_]+_DIR|pkgcfg_lib_[A-Za-z0-9_]+|HELP2MAN|DESKTOP_FILE_VALIDATE|APPSTREAMCLI|DPKG_BUILDFLAGS|PKG_CONFIG_EXECUTABLE|CMAKE_MAKE_PROGRAM|CMAKE_CXX_COMPILER|CMAKE_COMMAND):[A-Z]+=(\/usr\/.*)$/\1 \2/p' \
        "$build/CMakeCache.txt" | grep -v '_INCLUDE_DIR '
    for program in make xdpyinfo; do
        echo "$program $(command -v "$program" || echo "(not installed)")"
    done
}

# The packages that own a path (an alternatives link: its target), one a line.
owners() {
    { dpkg -S "$1" 2>/dev/null || dpkg -S "$(readlink -f "$1")" 2>/dev/null; } |
        sed 's/: \/.*//' | tr ',' '\n' | sed 's/^ *//; s/:.*//'
}

# The listed packages and everything they depend on, as installed here.
closure() {
    dpkg-query -W -f='${Package} ${Pre-Depends}, ${Depends}\n' | awk -v listed="$1" '
        { deps[$1] = $0 }
        END {
            n = split(listed, queue, " ")
            for (i = 1; i <= n; i++) seen[queue[i]] = 1
            for (i = 1; i <= n; i++) {
                m = split(deps[queue[i]], parts, /[ ,|]+/)
                for (j = 2; j <= m; j++) {
                    name = parts[j]; sub(/:.*/, "", name)
                    if (name ~ /^[a-z0-9][a-z0-9.+-]+$/ && !(name in seen)) { seen[name] = 1; queue[++n] = name }
                }
            }
            for (name in seen) print name
        }'
}

# A folder with stand-ins for make, sudo and apt-get that note each call and
# where it was made, first on the PATH.
stand_ins() {
    mkdir -p "$scratch/bin"
    for tool in make sudo apt-get; do
        printf '#!/bin/sh\necho "%s $* (in $(pwd -P))" >>"%s/calls"\n' "$tool" "$scratch" >"$scratch/bin/$tool"
        chmod +x "$scratch/bin/$tool"
    done
}

# run.sh from another folder with the given environment; its first line must
# be the reason, the rest what quorvel-calc prints.
expect_fallback() {
    reason=$1
    shift
    (cd "$scratch" && env "$@" sh "$src/scripts/run.sh" "$build/bin") >"$scratch/out" ||
        fail "run.sh exited with $?"
    expected="$reason: showing quorvel-calc's result for the window's initial texts instead."
    [ "$(head -n 1 "$scratch/out")" = "$expected" ] || fail "first line: $(head -n 1 "$scratch/out")"
    "$build/bin/quorvel-calc" >"$scratch/calc"
    tail -n +2 "$scratch/out" | cmp -s - "$scratch/calc" || fail "not quorvel-calc's output after the first line"
}

case "$case" in
    deps)
        command -v dpkg-query >/dev/null 2>&1 || exit 77
        listed=$(sh "$src/scripts/install-deps.sh" --list web | tr '\n' ' ')
        installable=$(closure "$listed")
        [ -n "$(found_paths)" ] || fail "no found packages or programs in $build/CMakeCache.txt"
        found_paths | while read -r entry path; do
            packages=$(owners "$path")
            [ -n "$packages" ] || fail "$entry=$path belongs to no package"
            echo "$packages" | grep -qxF "$installable" ||
                fail "$entry=$path comes from $(echo "$packages" | tr '\n' ' ')which install-deps.sh does not install"
        done
        ;;
    open-elsewhere)
        stand_ins
        (cd "$scratch" && PATH="$scratch/bin:$PATH" sh "$src/scripts/open.sh") || fail "open.sh exited with $?"
        (cd "$scratch" && PATH="$scratch/bin:$PATH" sh "$src/scripts/check.sh") || fail "check.sh exited with $?"
        grep '^make' "$scratch/calls" >"$scratch/made"
        printf 'make run (in %s)\nmake test (in %s)\n' "$src" "$src" | cmp -s - "$scratch/made" ||
            fail "make was called as: $(cat "$scratch/made")"
        ;;
    no-display)
        expect_fallback "No display (neither DISPLAY nor WAYLAND_DISPLAY is set)" -u DISPLAY -u WAYLAND_DISPLAY
        ;;
    unreachable-display)
        command -v xdpyinfo >/dev/null 2>&1 || exit 77
        # No server listens on display 65000.
        expect_fallback "The display DISPLAY=:65000 does not answer" -u WAYLAND_DISPLAY DISPLAY=:65000
        ;;
    *)
        fail "unknown case $case"
        ;;
esac
