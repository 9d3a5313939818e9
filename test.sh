#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs the whole test suite.
source "$(dirname "$0")/scripts/common.sh"

zeltrak_install_packages
zeltrak_build
cd "$ZELTRAK_BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 600

# A short, bounded fuzzing run of the database reader (see scripts/fuzz.sh).
cd "$ZELTRAK_ROOT"
scripts/fuzz.sh 10
