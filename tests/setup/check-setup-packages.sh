#!/usr/bin/env bash
# Proves from a real build that scripts/packages.txt is complete: every file
# the build used must belong to a Debian package that installing the list on
# an empty machine would bring in.
#
#   check-setup-packages.sh SOURCE_DIR BUILD_DIR
#
# A machine that already has every package builds fine even when the list
# misses one, so this test does not trust the build's success. It takes
#   1. the packages of the list, plus what a fresh minimal Debian already has
#      (the packages of priority "required") and git;
#   2. their closure over Depends and Pre-Depends only, as
#      `apt-get install --no-install-recommends` resolves it: of alternatives
#      "a | b" the first, of a virtual package its provider;
#   3. the owners (dpkg -S) of every file the build used: each CMake package
#      configuration that configure loaded (the *_DIR entries of
#      CMakeCache.txt), each system header the compiler read (ninja -t deps)
#      and each shared library the two executables load (ldd);
# and fails, naming each owner outside the closure and one file that needed
# it. Without dpkg or apt's package lists it is skipped (exit 77), never
# passed.
set -uo pipefail

readonly SKIP=77
source_dir="${1:?source folder}"
build_dir="${2:?build folder}"

skip() {
    echo "SKIPPED: $*"
    exit "$SKIP"
}

for tool in dpkg dpkg-query apt-cache ninja ldd; do
    command -v "$tool" >/dev/null || skip "'$tool' is not available; this check needs a Debian system"
done
apt-cache show build-essential >/dev/null 2>&1 ||
    skip "apt's package lists are empty (run 'apt-get update' first)"
[ -f "$build_dir/CMakeCache.txt" ] && [ -f "$build_dir/build.ninja" ] ||
    skip "'$build_dir' is not a configured Ninja build"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# 1. The roots: the set-up's list, git, and the fresh machine's own packages.
sed -e 's/#.*//' -e '/^[[:space:]]*$/d' -e 's/[[:space:]]//g' \
    "$source_dir/scripts/packages.txt" > "$work/listed"
# A virtual name in the list stands for its provider, as apt-get takes it.
real_package() {
    if apt-cache show "$1" 2>/dev/null | grep "^Package:" >/dev/null; then
        echo "$1"
    else
        apt-cache showpkg "$1" | sed -n '/^Reverse Provides:/,$p' | sed -n '2s/ .*//p'
    fi
}
{
    while read -r pkg; do real_package "$pkg"; done < "$work/listed"
    echo git
    dpkg-query -W -f='${Package} ${Priority}\n' | awk '$2 == "required" { print $1 }'
} | sort -u > "$work/roots"

# 2. The closure. apt-cache prints every package reachable over Depends and
# Pre-Depends through any alternative; the walk below keeps only the
# alternatives apt would take.
xargs apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
    --no-breaks --no-replaces --no-enhances < "$work/roots" > "$work/graph" 2>/dev/null
awk -v roots="$work/roots" '
    # Graph lines: "pkg", "  Depends: dep", " |Depends: dep" (or-group goes
    # on), "  PreDepends: dep", "    provider" (of the virtual dep above).
    function finish_group() {
        if (group != "") groups[current] = groups[current] SUBSEP group
        group = ""
    }
    /^[^ ]/ {
        finish_group()
        current = $1
        known[current] = 1
        next
    }
    /^ [ |](Pre)?Depends: / {
        dep = $2
        member = dep
        if (group == "") group = member
        else group = group "|" member
        last = dep
        if (substr($0, 2, 1) != "|") finish_group_later = 1
        else finish_group_later = 0
        if (finish_group_later) finish_group()
        next
    }
    /^    [^ ]/ {
        # A provider of the virtual package named last.
        providers[last] = providers[last] " " $1
        next
    }
    function resolve(name,   n, list, i) {
        # A real package stands for itself; a virtual one for its provider,
        # preferring one already taken.
        if (name !~ /^</) return name
        n = split(providers[name], list, " ")
        if (n == 0) return ""
        for (i = 1; i <= n; i++) if (list[i] in taken) return list[i]
        return list[1]
    }
    END {
        finish_group()
        while ((getline line < roots) > 0) { queue[++tail] = line; taken[line] = 1 }
        for (head = 1; head <= tail; head++) {
            pkg = queue[head]
            ng = split(groups[pkg], glist, SUBSEP)
            for (g = 1; g <= ng; g++) {
                if (glist[g] == "") continue
                na = split(glist[g], alts, "|")
                chosen = ""
                for (a = 1; a <= na && chosen == ""; a++) {
                    r = resolve(alts[a])
                    if (r in taken) chosen = r
                }
                for (a = 1; a <= na && chosen == ""; a++) chosen = resolve(alts[a])
                if (chosen != "" && !(chosen in taken)) {
                    taken[chosen] = 1
                    queue[++tail] = chosen
                }
            }
        }
        for (p in taken) print p
    }
' "$work/graph" | sort -u > "$work/closure"

# 3. The files the build used, outside our own source and build folders.
source_real="$(cd "$source_dir" && pwd -P)"
build_real="$(cd "$build_dir" && pwd -P)"
{
    # CMake package configurations: the config file inside each *_DIR.
    sed -n 's/^[A-Za-z0-9_.+-]*_DIR:PATH=\(\/.*\)$/\1/p' "$build_dir/CMakeCache.txt" |
        while read -r dir; do
            [ -d "$dir" ] || continue
            ls "$dir"/*[Cc]onfig.cmake "$dir"/*-config.cmake 2>/dev/null | head -n 1
        done
    # System headers.
    (cd "$build_dir" && ninja -t deps) | sed -n 's/^    \(\/.*\)$/\1/p'
    # Shared libraries of the program and the tool.
    for exe in "$build_dir/zeltrak" "$build_dir/dbv"; do
        [ -x "$exe" ] || continue
        ldd "$exe" | sed -n -e 's/^.*=> \(\/[^ ]*\) .*$/\1/p' -e 's/^[[:space:]]*\(\/[^ ]*\) (.*$/\1/p'
    done
} | grep -v -e "^$source_real/" -e "^$build_real/" -e "^$source_dir/" -e "^$build_dir/" |
    sort -u > "$work/used"
[ -s "$work/used" ] || skip "the build in '$build_dir' used no system files (not built yet?)"

# Owners. dpkg knows a file by the path its package ships; with a merged
# /usr the build may have seen it under the other prefix or through a link.
owner_of() {
    local path="$1" candidate owner
    for candidate in "$path" "$(readlink -f "$path")" "${path#/usr}" "/usr$path"; do
        [ -n "$candidate" ] || continue
        owner="$(dpkg -S "$candidate" 2>/dev/null | head -n 1 | cut -d: -f1)"
        if [ -n "$owner" ]; then
            echo "$owner"
            return 0
        fi
    done
    return 1
}

: > "$work/owners"
: > "$work/unowned"
# One dpkg call for the bulk; the slow per-file fallback only for the rest.
xargs dpkg -S < "$work/used" 2>/dev/null |
    awk -F': ' '{ split($1, p, ", "); for (i in p) print p[i] "\t" $2 }' > "$work/bulk"
cut -f2 "$work/bulk" | sort -u > "$work/found"
sort -u "$work/bulk" | awk -F'\t' '{ sub(/:.*/, "", $1); print $1 "\t" $2 }' >> "$work/owners"
comm -23 "$work/used" "$work/found" | while read -r path; do
    if owner="$(owner_of "$path")"; then
        printf '%s\t%s\n' "${owner%%:*}" "$path" >> "$work/owners"
    else
        echo "$path" >> "$work/unowned"
    fi
done

missing=0
# A virtual name never shows as installed: the scripts would call apt-get on
# every run, which needs root and the network even when nothing is missing.
while read -r pkg; do
    if ! apt-cache show "$pkg" 2>/dev/null | grep "^Package:" >/dev/null; then
        echo "VIRTUAL: '$pkg' in scripts/packages.txt is a virtual package; list its provider" \
            "'$(real_package "$pkg")' instead"
        missing=$((missing + 1))
    fi
done < "$work/listed"
while IFS=$'\t' read -r pkg path; do
    if ! grep -qx -- "$pkg" "$work/closure"; then
        echo "MISSING: package '$pkg' is not installed by the set-up, but the build used $path"
        missing=$((missing + 1))
    fi
done < <(sort -t$'\t' -k1,1 -u "$work/owners")

echo "$(wc -l < "$work/listed") listed packages, closure of $(wc -l < "$work/closure") packages;" \
    "$(wc -l < "$work/used") files used by the build, owned by" \
    "$(cut -f1 "$work/owners" | sort -u | wc -l) packages"
if [ -s "$work/unowned" ]; then
    echo "Not owned by any package (not checked): $(wc -l < "$work/unowned") files, e.g. $(head -n 1 "$work/unowned")"
fi
if [ "$missing" -gt 0 ]; then
    echo "FAILED: $missing problem(s) with scripts/packages.txt (above)"
    exit 1
fi
echo "PASSED: every package the build used comes with the set-up"
