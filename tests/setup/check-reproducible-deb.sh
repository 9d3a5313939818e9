#!/usr/bin/env bash
# Two packages made from the same sources are the same bytes.
#
#   check-reproducible-deb.sh SOURCE_DIR BUILD_DIR VERSION EPOCH [--second-build]
#
# Always: the package is made twice from the build folder, a few seconds
# apart, and the two .deb files must be identical; every file in it carries
# the time EPOCH (the changelog's newest entry), and no file names the source
# or build folder.
# With --second-build: the sources are copied to another folder, built there
# (only what the package holds: no tests or benchmarks) and packaged; that
# package must equal the first one byte for byte. It is compiled without a
# compiler cache, so this takes as long as a build of the program, and is
# asked for with -DZELTRAK_TEST_SECOND_BUILD=ON.
#
# Without cpack or dpkg-deb it is skipped (exit 77), never passed.
set -uo pipefail

readonly SKIP=77
source_dir="$(cd "${1:?source folder}" && pwd)"
build_dir="$(cd "${2:?build folder}" && pwd)"
version="${3:?project version}"
epoch="${4:?SOURCE_DATE_EPOCH of the build}"
second_build="${5:-}"

for tool in cpack dpkg-deb dpkg-shlibdeps cmp; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: '$tool' is not available"; exit "$SKIP"; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# package BUILD_FOLDER NAME: runs cpack as a packager would, without
# SOURCE_DATE_EPOCH in the environment (the build's own date must be used),
# into $work/NAME; the package is $work/NAME.deb.
package() {
    if ! (cd "$1" && env -u SOURCE_DATE_EPOCH cpack -G DEB -B "$work/$2" > "$work/$2.log" 2>&1); then
        cat "$work/$2.log"
        echo "FAIL: cpack -G DEB failed in $1"
        exit 1
    fi
    mv "$work/$2/zeltrak_${version}_amd64.deb" "$work/$2.deb" || exit 1
}

# same_package A B: byte for byte, and if not, which members and files differ.
same_package() {
    if cmp -s "$1" "$2"; then
        return 0
    fi
    fail "$1 and $2 differ"
    for deb in "$1" "$2"; do
        mkdir -p "$deb.x" && dpkg-deb -R "$deb" "$deb.x"
        (cd "$deb.x" && find . -type f | sort | xargs md5sum) > "$deb.sums"
        dpkg-deb --fsys-tarfile "$deb" | tar -tv --full-time > "$deb.list"
    done
    diff "$1.sums" "$2.sums"
    diff "$1.list" "$2.list" | head -20
    return 1
}

# The long part first: it needs nothing of the first build.
if [ "$second_build" = --second-build ]; then
    # Another folder at another depth, holding the same sources.
    copy="$work/elsewhere/zeltrak"
    mkdir -p "$copy"
    if git -C "$source_dir" rev-parse --git-dir >/dev/null 2>&1; then
        (cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
            xargs -0 tar -cf - --no-recursion) | tar -xf - -C "$copy"
    else
        tar -C "$source_dir" --exclude=./build -cf - . | tar -xf - -C "$copy"
    fi
    cache="$build_dir/CMakeCache.txt"
    cached() { sed -n "s/^$1:[A-Z]*=//p" "$cache"; }
    # No compiler cache: one that maps folders away (ccache's base_dir) would
    # hand back the first build's objects, and the comparison would prove
    # nothing about compiling in another folder.
    start=$(date +%s)
    if ! (export CCACHE_DISABLE=1 && unset CMAKE_CXX_COMPILER_LAUNCHER &&
        cmake -S "$copy" -B "$copy/build" -G Ninja \
        -DCMAKE_BUILD_TYPE="$(cached CMAKE_BUILD_TYPE)" \
        -DCMAKE_CXX_COMPILER="$(cached CMAKE_CXX_COMPILER)" \
        -DZELTRAK_BUILD_TESTS=OFF -DZELTRAK_BUILD_BENCHMARKS=OFF &&
        cmake --build "$copy/build") > "$work/second-build.log" 2>&1; then
        tail -40 "$work/second-build.log"
        echo "FAIL: the second build failed"
        exit 1
    fi
    echo "Second build in $copy/build: $(($(date +%s) - start)) s"
fi

first="$work/first.deb"
package "$build_dir" first
sleep 2
package "$build_dir" again
same_package "$first" "$work/again.deb" && echo "Packaged twice: identical ($(stat -c %s "$first") bytes)"

# Every member of the data archive carries the build's date.
expected="$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')"
if dpkg-deb --fsys-tarfile "$first" | tar -tv --full-time --utc 2>/dev/null |
    grep -v -- " $expected " > "$work/dated"; then
    fail "files not dated $expected (the changelog's newest entry):"
    head "$work/dated"
fi

# No file names the folders it was built in.
root="$work/root"
dpkg-deb -R "$first" "$root"
for folder in "$source_dir" "$build_dir"; do
    if grep -rlF -- "$folder" "$root"; then
        fail "the files above name $folder"
    fi
done

if [ "$second_build" = --second-build ]; then
    package "$copy/build" second
    same_package "$first" "$work/second.deb" && echo "Built again in another folder: identical"
fi

if [ "$failures" -gt 0 ]; then
    echo "FAILED: $failures problem(s)"
    exit 1
fi
echo "PASSED: the package is reproducible"
