#!/bin/sh
# Quick start: installs the Debian packages that are missing, builds, and
# runs every test (make test). Run from anywhere: sh scripts/check.sh
set -eu
cd "$(dirname "$0")/.."
# make itself may be missing on a bare machine: install first, then hand over.
# The page's build and browser test need the web group: all in one go.
sh scripts/install-deps.sh web
exec make test
