#!/bin/sh
# Builds the Debian package from a configured and built BUILD_DIR with CPack,
# then checks it with lintian --pedantic: any error or warning fails.
#   scripts/package.sh build
set -eu

build=${1:-build}
cd "$build"
rm -f quorvel_*.deb
cpack -G DEB
deb=$(ls quorvel_*.deb)
if ! dpkg-deb --contents "$deb" | grep -q ' ./usr/share/quorvel/quorvel.html$'; then
    echo "$deb has no quorvel.html: build the page first (make web)" >&2
    exit 1
fi
echo "lintian --pedantic $deb:"
if lintian --pedantic --info --fail-on error,warning "$deb"; then
    echo "lintian: no error, no warning"
else
    echo "lintian found errors or warnings in $deb" >&2
    exit 1
fi
