#!/bin/sh
# Builds GMP for WebAssembly from Debian's own source package, with
# Emscripten: libgmp.a, libgmpxx.a and their headers, installed into PREFIX.
# Nothing is done when PREFIX already holds them.
#   scripts/build-gmp-wasm.sh build-web/gmp
# The source comes through a private apt configuration in a scratch folder:
# the system's sources and package lists stay untouched, and no root is
# needed. QUORVEL_DEBIAN_MIRROR chooses another Debian mirror.
set -eu

prefix=${1:?usage: build-gmp-wasm.sh PREFIX}
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
if [ -f "$prefix/lib/libgmp.a" ] && [ -f "$prefix/lib/libgmpxx.a" ] && [ -f "$prefix/include/gmpxx.h" ]; then
    exit 0
fi

for tool in emconfigure emmake apt-get dpkg-source autoreconf m4; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "build-gmp-wasm: $tool is missing (scripts/install-deps.sh web installs it)" >&2
        exit 1
    fi
done
# Debian's Emscripten runs its tools with node and Debian's node modules,
# which another node first on PATH does not look in.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-gmp.XXXXXX")
trap 'rm -rf "$scratch"' EXIT INT TERM

# The source package of this release, from a sources list of our own.
. /etc/os-release
mirror=${QUORVEL_DEBIAN_MIRROR:-http://deb.debian.org/debian}
mkdir -p "$scratch/lists/partial" "$scratch/cache/archives/partial" "$scratch/source"
cat >"$scratch/sources.list" <<EOF
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $VERSION_CODENAME main
EOF
apt_private="-o Dir::Etc::SourceList=$scratch/sources.list -o Dir::Etc::SourceParts=-
             -o Dir::State::Lists=$scratch/lists -o Dir::Cache=$scratch/cache
             -o APT::Sandbox::User=$(id -un)"
echo "build-gmp-wasm: fetching Debian's gmp source package ($VERSION_CODENAME)"
# shellcheck disable=SC2086
apt-get -qq $apt_private update
# shellcheck disable=SC2086
(cd "$scratch/source" && apt-get -qq $apt_private source gmp >/dev/null)
source_dir=$(find "$scratch/source" -mindepth 1 -maxdepth 1 -type d -name 'gmp-*' | head -n 1)
if [ -z "$source_dir" ]; then
    echo "build-gmp-wasm: apt-get source gmp unpacked no gmp-* folder" >&2
    exit 1
fi

# Debian's patches leave out the documentation, which its build regenerates
# the build files for: so do we.
(cd "$source_dir" && autoreconf -fi) >"$scratch/autoreconf.log" 2>&1 || {
    tail -n 40 "$scratch/autoreconf.log" >&2
    exit 1
}

# Plain C, no assembly, for no particular CPU; the C++ classes built with
# exceptions like the code that uses them; static libraries only.
echo "build-gmp-wasm: building $(basename "$source_dir") with Emscripten into $prefix"
cd "$source_dir"
emconfigure ./configure --host=none --disable-assembly --enable-cxx --disable-shared --enable-static \
    --prefix="$prefix" CFLAGS="-O2" CXXFLAGS="-O2 -fexceptions" >"$scratch/configure.log" 2>&1 || {
    tail -n 40 "$scratch/configure.log" >&2
    exit 1
}
emmake make -j "$(nproc)" >"$scratch/make.log" 2>&1 || {
    tail -n 40 "$scratch/make.log" >&2
    exit 1
}
emmake make install >"$scratch/install.log" 2>&1 || {
    tail -n 40 "$scratch/install.log" >&2
    exit 1
}
echo "build-gmp-wasm: installed libgmp.a and libgmpxx.a in $prefix/lib"
