# Shared by run.sh and test.sh: install the Debian packages that are missing,
# then configure and build into build/.
set -euo pipefail

ZELTRAK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ZELTRAK_BUILD="${ZELTRAK_BUILD:-$ZELTRAK_ROOT/build}"

# The package list lives in scripts/packages.txt (comments and blank lines
# ignored), shared with the test that proves it complete.
mapfile -t ZELTRAK_PACKAGES < <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' -e 's/[[:space:]]//g' \
    "$ZELTRAK_ROOT/scripts/packages.txt")

zeltrak_install_packages() {
    local missing=()
    for pkg in "${ZELTRAK_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing missing Debian packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

zeltrak_build() {
    cmake -S "$ZELTRAK_ROOT" -B "$ZELTRAK_BUILD" -G Ninja "$@"
    cmake --build "$ZELTRAK_BUILD" --parallel "$(nproc)"
}
