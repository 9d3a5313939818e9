#!/usr/bin/env bash
# Takes the screenshots that the AppStream description shows, from the
# program itself, offscreen, over the demo database of the build:
#
#   scripts/screenshots.sh [BUILD_DIR]     (default build/)
#
# They land in packaging/screenshots/, to be published on the homepage under
# screenshots/, where the metainfo's <screenshot> entries point.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
cmake --build "$build" --target zeltrak_screenshots demodatabase
mkdir -p "$root/packaging/screenshots"
QT_QPA_PLATFORM=offscreen "$build/packaging/zeltrak_screenshots" \
    "$build/dataAB.dbv" "$root/packaging/screenshots"
