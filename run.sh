#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the program.
source "$(dirname "$0")/scripts/common.sh"

zeltrak_install_packages
zeltrak_build

if [ -x "$ZELTRAK_BUILD/zeltrak" ]; then
    exec "$ZELTRAK_BUILD/zeltrak" "$@"
fi
echo "The program is not built yet; checking the test database with dbv instead."
"$ZELTRAK_BUILD/dbv" check "$ZELTRAK_BUILD/testdata.dbv"
