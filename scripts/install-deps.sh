#!/bin/sh
# Installs the Debian packages the project needs that are not installed yet.
#   scripts/install-deps.sh            what building, testing and running need
#   scripts/install-deps.sh fuzz       plus clang and its sanitizer runtime
#   scripts/install-deps.sh screenshot plus a virtual X server (and the X
#                                      library the start-up benchmark uses)
#   scripts/install-deps.sh package    plus lintian, which checks the .deb
#   scripts/install-deps.sh web        plus Emscripten and the autotools, which
#                                      build the page and GMP for WebAssembly,
#                                      the font tools that cut its faces, and
#                                      the three browsers that test it:
#                                      Chromium with its driver, Firefox ESR
#                                      (driven by npm's puppeteer-core, pinned
#                                      in tests/web/package-lock.json and
#                                      installed there by npm ci) and
#                                      WebKitGTK's driver with a virtual X
#                                      server
#   scripts/install-deps.sh --list [GROUP...]  prints those packages, one a
#                                      line, and installs nothing
# Nothing is installed when everything is already there. The whole missing
# list is worked out first and installed in one apt-get run: as root directly,
# otherwise through sudo. A user who cannot use sudo gets the exact line to
# run as root and nothing is installed.
set -eu

base="make cmake ninja-build g++ pkg-config
      qt6-base-dev libqt6svg6 qt6-svg-dev libgl-dev x11-utils
      fonts-liberation2 fonts-croscore fonts-urw-base35
      libcli11-dev nlohmann-json3-dev libgmp-dev libfast-float-dev libfmt-dev
      libgtest-dev libgmock-dev libbenchmark-dev
      appstream desktop-file-utils dpkg-dev file help2man"
fuzz="clang-14 libclang-rt-14-dev"
# Xvfb, and the X library the start-up benchmark watches it with.
screenshot="xvfb xauth libxcb1-dev"
package="lintian"
# The page's browser test drives Chromium through chromedriver on
# "localhost"; libnss-myhostname resolves that name where /etc/hosts does not
# (a freshly bootstrapped root has no /etc/hosts).
web="emscripten autoconf automake libtool m4 python3-fonttools python3-brotli fonts-liberation
     chromium chromium-driver python3-selenium libnss-myhostname
     firefox-esr nodejs npm webkit2gtk-driver xvfb"

list_only=false
if [ "${1:-}" = "--list" ]; then
    list_only=true
    shift
fi

wanted="$base"
for group in "$@"; do
    case "$group" in
        fuzz) wanted="$wanted $fuzz" ;;
        screenshot) wanted="$wanted $screenshot" ;;
        package) wanted="$wanted $package" ;;
        web) wanted="$wanted $web" ;;
        base) ;;
        *) echo "install-deps: unknown group '$group' (fuzz, screenshot, package, web)" >&2; exit 2 ;;
    esac
done

if $list_only; then
    # shellcheck disable=SC2086
    printf '%s\n' $wanted
    exit 0
fi

# The npm modules of the page's test, exactly as locked, once; puppeteer
# never downloads a browser of its own.
npm_modules() {
    case " $* " in *" web "*) ;; *) return 0 ;; esac
    [ -d tests/web/node_modules/puppeteer-core ] && return 0
    echo "Installing the page test's npm modules (tests/web/package-lock.json)"
    PUPPETEER_SKIP_DOWNLOAD=1 npm ci --prefix tests/web --ignore-scripts --no-audit --no-fund
}

missing=""
for pkg in $wanted; do
    # A node installed from elsewhere brings its own npm, which Debian's
    # npm package cannot install beside.
    if [ "$pkg" = npm ] && command -v npm >/dev/null 2>&1; then
        continue
    fi
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $pkg"
    fi
done
cd "$(dirname "$0")/.."
if [ -z "$missing" ]; then
    npm_modules "$@"
    exit 0
fi
missing=${missing# }

as_root_line="apt-get update && apt-get install --no-install-recommends $missing"
# Says why this user cannot install, gives the line to run as root, and stops.
cannot_install() {
    {
        echo "Quorvel needs Debian packages that are not installed here, and $1,"
        echo "so nothing was installed. Run this as root, then run the same command again:"
        echo
        echo "    $as_root_line"
        echo
    } >&2
    exit 1
}

if [ "$(id -u)" -eq 0 ]; then
    as_root=""
elif ! command -v sudo >/dev/null 2>&1; then
    cannot_install "this user cannot install them: not root, and sudo is not installed"
elif sudo -n true 2>/dev/null; then
    as_root="sudo"
elif [ -t 0 ]; then
    # sudo asks for the password on this terminal.
    as_root="sudo"
else
    cannot_install "sudo needs a password but there is no terminal to type it on"
fi

echo "Installing missing packages: $missing"
# Passed through env so that it reaches apt behind sudo too: no questions asked.
# shellcheck disable=SC2086
$as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
# shellcheck disable=SC2086
$as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
npm_modules "$@"
