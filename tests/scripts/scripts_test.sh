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
#   ci-runs-readme       .ci/run runs the README's test command as written
#   packages             packages_test.py: every package a build or test uses
#                        is in the install-deps.sh group that installs it
#   gmp-prefix           build-gmp-wasm.sh given a relative folder configures
#                        GMP with that folder made absolute (the tools it runs
#                        are stand-ins that note their call)
#   screenshot-input     page-screenshot.py fills the fields as typing does,
#                        on a stand-in page that sees only what came with an
#                        input event
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

# A folder with stand-ins for the tools named (make, sudo and apt-get unless
# named) that note each call and where it was made, first on the PATH.
stand_ins() {
    mkdir -p "$scratch/bin"
    for tool in ${*:-make sudo apt-get}; do
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
    ci-runs-readme)
        command=$(sed -n 's/^\(sh scripts\/[a-z.-]*\) *# .*runs every test$/\1/p' "$src/README.md")
        [ -n "$command" ] || fail "the README shows no test command"
        grep -qxF "$command" "$src/.ci/run" || fail ".ci/run does not run the README's test command: $command"
        ;;
    packages)
        [ -x /usr/bin/python3 ] && command -v dpkg >/dev/null 2>&1 || exit 77
        /usr/bin/python3 "$src/tests/scripts/packages_test.py" "$src"
        ;;
    gmp-prefix)
        stand_ins emconfigure emmake dpkg-source autoreconf m4 apt-get
        # apt-get source unpacks the source folder the script looks for.
        echo 'case "$*" in *" source gmp") mkdir gmp-6;; esac' >>"$scratch/bin/apt-get"
        (cd "$scratch" && PATH="$scratch/bin:$PATH" sh "$src/scripts/build-gmp-wasm.sh" relative/gmp) >/dev/null ||
            fail "build-gmp-wasm.sh exited with $?"
        grep -q "^emconfigure ./configure .* --prefix=$scratch/relative/gmp " "$scratch/calls" ||
            fail "GMP was configured as: $(grep '^emconfigure' "$scratch/calls")"
        ;;
    screenshot-input)
        [ -x /usr/bin/chromium ] && [ -x /usr/bin/chromedriver ] && /usr/bin/python3 -c 'import selenium' 2>/dev/null ||
            exit 77
        # Each field changed without an input event takes the form away.
        cat >"$scratch/page.html" <<'EOF'
<!DOCTYPE html><title>stand-in</title>
<form id="Form1"><input id="Fclock" value="100"><input id="Fwanted" value="25"><input id="Ferror" value="">
<button type="button" id="Go">Calculate</button></form>
<script>
const typed = {};
for (const field of document.querySelectorAll('input'))
  field.addEventListener('input', () => { typed[field.id] = field.value; });
document.getElementById('Go').addEventListener('click', () => {
  for (const field of document.querySelectorAll('input'))
    if (field.value !== field.defaultValue && typed[field.id] !== field.value) document.getElementById('Form1').remove();
});
performance.mark('quorvel-interactive');
</script>
EOF
        /usr/bin/python3 "$src/scripts/page-screenshot.py" "$scratch/page.html" "$scratch/page.png" >"$scratch/out" 2>&1 ||
            fail "page-screenshot.py exited with $?: $(grep -m 1 -E '^[A-Za-z.]+(Exception|Error)' "$scratch/out")"
        [ -s "$scratch/page.png" ] || fail "no picture written"
        ;;
    *)
        fail "unknown case $case"
        ;;
esac
