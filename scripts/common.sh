# Shared by run.sh and test.sh: install the Debian packages that are missing,
# then configure and build into build/.
set -euo pipefail

ZELTRAK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ZELTRAK_BUILD="${ZELTRAK_BUILD:-$ZELTRAK_ROOT/build}"

ZELTRAK_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libqt6charts6-dev libgl-dev
    libturbojpeg0-dev libjpeg62-turbo-dev
    libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev
    fonts-liberation fonts-dejavu-core qt6-translations-l10n
)

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
