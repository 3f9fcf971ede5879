#!/bin/sh
# Installs the Debian packages the project needs that are not installed yet.
#   scripts/install-deps.sh            what building, testing and running need
#   scripts/install-deps.sh fuzz       plus clang and its sanitizer runtime
#   scripts/install-deps.sh screenshot plus a virtual X server
# Nothing is installed when everything is already there.
set -eu

base="cmake ninja-build g++ make pkg-config
      qt6-base-dev libgl-dev fonts-liberation2
      libcli11-dev nlohmann-json3-dev libgmp-dev
      libgtest-dev libgmock-dev libbenchmark-dev
      appstream desktop-file-utils dpkg-dev file"
fuzz="clang-14 libclang-rt-14-dev"
screenshot="xvfb xauth"

wanted="$base"
for group in "$@"; do
    case "$group" in
        fuzz) wanted="$wanted $fuzz" ;;
        screenshot) wanted="$wanted $screenshot" ;;
        base) ;;
        *) echo "install-deps: unknown group '$group' (fuzz, screenshot)" >&2; exit 2 ;;
    esac
done

missing=""
for pkg in $wanted; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $pkg"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing missing packages:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing
