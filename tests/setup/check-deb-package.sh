#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks it as a user's
# machine would see it:
#   - its control fields (name, version, architecture, run-time dependencies
#     with no build-only package among them);
#   - its file list (program, tool, demo database, menu entry, icons,
#     AppStream metainfo, manual pages, copyright, changelog), with nothing
#     of the build's own and no licence copy outside /usr/share/doc;
#   - lintian, Debian's own checker, with no error and no warning; the
#     metainfo by appstreamcli (pedantic) and the menu entry by
#     desktop-file-validate, where those tools are installed;
#   - the installed tree, unpacked with dpkg -x into a temporary folder:
#     "dbv --version" prints the project's version, and the program started
#     offscreen in an empty home folder finds its demo database on its first
#     run and keeps its progress under ~/.local/share/zeltrak/.
#
#   check-deb-package.sh BUILD_DIR VERSION
#
# Without dpkg-deb it is skipped (exit 77), never passed.
set -uo pipefail

readonly SKIP=77
build_dir="$(cd "${1:?build folder}" && pwd)"
version="${2:?project version}"

for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: '$tool' is not available"; exit "$SKIP"; }
done

work="$(mktemp -d)"
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Build the package.
if ! (cd "$build_dir" && cpack -G DEB -B "$work/out" > "$work/cpack.log" 2>&1); then
    cat "$work/cpack.log"
    echo "FAIL: cpack -G DEB failed"
    exit 1
fi
deb="$work/out/zeltrak_${version}_amd64.deb"
if [ ! -f "$deb" ]; then
    ls "$work/out"
    echo "FAIL: cpack did not make zeltrak_${version}_amd64.deb"
    exit 1
fi
echo "Built $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zeltrak ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
# The long description's lines are its own: no list separator of the build.
if grep -n '^ *;' <<< "$(field Description)"; then
    fail "the Description has lines starting with ';' (above)"
fi
depends="$(field Depends)"
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6charts6 libqt6gui6 libturbojpeg0 qt6-qpa-plugins \
    qt6-image-formats-plugins fonts-liberation; do
    grep -q "\b$needed\b" <<< "$depends" || fail "Depends lacks $needed"
done
# No build-only package: no -dev package, no compiler or build tool.
for name in $(tr ',|' '\n\n' <<< "$depends" | sed 's/(.*)//; s/[[:space:]]//g'); do
    case "$name" in
    *-dev | cmake | ninja-build | build-essential | g++* | gcc* | clang* | pkg-config | libgtest* | libbenchmark*)
        fail "Depends names the build-only package $name" ;;
    esac
done

# File list.
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' > "$work/files"
for path in \
    /usr/bin/zeltrak \
    /usr/bin/dbv \
    /usr/share/zeltrak/dataAB.dbv \
    /usr/share/zeltrak/dataAB.topics.json \
    /usr/share/zeltrak/dataAB.reference.json \
    /usr/share/applications/zeltrak.desktop \
    /usr/share/metainfo/org.example.zeltrak.metainfo.xml \
    /usr/share/man/man1/zeltrak.1.gz \
    /usr/share/man/man1/dbv.1.gz \
    /usr/share/doc/zeltrak/copyright \
    /usr/share/doc/zeltrak/changelog.gz; do
    grep -qx -- "$path" "$work/files" || fail "the package lacks $path"
done
for size in 16 22 24 32 48 64 128 256; do
    grep -qx -- "/usr/share/icons/hicolor/${size}x${size}/apps/zeltrak.png" "$work/files" ||
        fail "the package lacks the ${size}x${size} icon"
done
# Nothing of the build's own: no tests, benchmarks, libraries or headers.
if grep -E '/(include|lib)/|tst_|bench' "$work/files"; then
    fail "the package carries build files (above)"
fi
# The licence text is in copyright; Debian wants no other copy.
if grep -iE 'licen[cs]e|copying' "$work/files" | grep -v '^/usr/share/doc/'; then
    fail "the package carries a licence copy outside /usr/share/doc (above)"
fi

# Debian's own checker. Informational and pedantic tags are printed for
# reading; an error or a warning fails.
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning --display-info --pedantic \
        "$deb" > "$work/lintian.log" 2>&1
    lintian_status=$?
    cat "$work/lintian.log"
    [ "$lintian_status" -eq 0 ] || fail "lintian reports errors or warnings (above)"
else
    echo "lintian is not installed: the package is not checked by it"
fi

# The installed tree.
root="$work/root"
dpkg-deb -x "$deb" "$root"
# The changelog belongs to this version.
changelog_head="$(zcat "$root/usr/share/doc/zeltrak/changelog.gz" | head -1)"
[[ "$changelog_head" == "zeltrak ($version) "* ]] ||
    fail "the changelog starts with '$changelog_head', not version $version"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --pedantic --no-net \
        "$root/usr/share/metainfo/org.example.zeltrak.metainfo.xml" ||
        fail "appstreamcli rejects the metainfo"
else
    echo "appstreamcli is not installed: the metainfo is not validated"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/zeltrak.desktop" ||
        fail "desktop-file-validate rejects the menu entry"
fi
# The installed binaries carry the hardening the build asks for
# (cmake/Hardening.cmake): position-independent, stack canaries, checked
# string functions, read-only relocations, immediate binding. Control-flow
# protection cannot pass on Debian 12 whatever the flags: the linker marks a
# binary only when every object in it is marked, and the C library's start
# files are not (Debian's own binaries fail it too). Stack clash probes show
# only in functions with a frame over a page; the tool says "unknown" then,
# which does not fail. dbv copies only buffers whose size the compiler cannot
# know, so it calls no checked function although built with the same flags;
# the program, which does, shows that the flag is there.
if command -v hardening-check >/dev/null; then
    for check in "zeltrak" "dbv --nofortify"; do
        read -r binary options <<< "$check"
        # shellcheck disable=SC2086 # the options are words
        if ! hardening-check --nocfprotection $options \
            "$root/usr/bin/$binary" > "$work/hardening.log" 2>&1; then
            cat "$work/hardening.log"
            fail "$binary lacks some of the hardening (above)"
        fi
    done
else
    echo "hardening-check is not installed: the binaries' hardening is not checked"
fi
tool_version="$("$root/usr/bin/dbv" --version)"
[ "$tool_version" = "dbv $version" ] || fail "dbv --version prints '$tool_version'"

# First run in an empty home folder. The program keeps running once its main
# window is up, so the test waits for the progress file and then ends it.
home="$work/home"
mkdir -p "$home"
(
    cd "$home"
    exec env -i HOME="$home" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 \
        "$root/usr/bin/zeltrak" > "$work/program.log" 2>&1
) &
program_pid=$!
progress="$home/.local/share/zeltrak/stat.dat"
for _ in $(seq 1 300); do
    [ -s "$progress" ] && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
if [ -s "$progress" ]; then
    echo "The first run made $progress ($(stat -c %s "$progress") bytes)"
    settings="$home/.config/Microsoft/Kiv.conf"
    # Give the settings a moment to land: they are written before the
    # progress file, but through another file.
    if ! grep -q "$root/usr/share/zeltrak/dataAB.dbv" "$settings" 2>/dev/null; then
        fail "the settings do not name the installed demo database"
        cat "$settings" 2>/dev/null
    fi
else
    fail "the program did not start with its demo database (no $progress)"
    cat "$work/program.log"
fi
kill "$program_pid" 2>/dev/null
wait "$program_pid" 2>/dev/null
program_pid=""

if [ "$failures" -gt 0 ]; then
    echo "FAILED: $failures problem(s)"
    exit 1
fi
echo "PASSED: the package builds, carries what it should and runs from its installed tree"
