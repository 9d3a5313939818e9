#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs the whole test suite:
# a short, bounded fuzzing run of each fuzz target (scripts/fuzz.sh), then
# every test with CTest.
source "$(dirname "$0")/scripts/common.sh"

zeltrak_install_packages
zeltrak_build
"$ZELTRAK_ROOT/scripts/fuzz.sh" 10 2>&1 | grep -E '^== |^Done |ERROR|SUMMARY'

cd "$ZELTRAK_BUILD"
# A failing test is run once more: one run in about ten of the classroom's
# sync test against its real server failed once without a trace that could
# be reproduced, and a second failure still fails the run.
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 600 \
    --repeat until-pass:2
