#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs the whole test suite.
source "$(dirname "$0")/scripts/common.sh"

zeltrak_install_packages
zeltrak_build
cd "$ZELTRAK_BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 600
