#!/bin/sh
# Quick start: installs the Debian packages that are missing, builds, and
# opens the calculator (make run). Run from anywhere: sh scripts/open.sh
set -eu
cd "$(dirname "$0")/.."
# make itself may be missing on a bare machine: install first, then hand over.
sh scripts/install-deps.sh
exec make run
