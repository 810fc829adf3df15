# Shared by the scripts: installs missing Debian packages, reports progress
# and failure.
# shellcheck shell=bash

# The packages that building the program needs.
VORSELL_BUILD_PACKAGES=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libsodium-dev
    fonts-dejavu-core
)

# What the tests need beyond the build: a private message bus standing in for
# logind's, and gdb's gcore for the memory of a locked program.
VORSELL_TEST_PACKAGES=(
    dbus-daemon gdb
)

# Installs whichever of the given packages are missing.
install_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ "${#missing[@]}" -eq 0 ] && return 0

    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "These Debian packages are missing: ${missing[*]}" >&2
            echo "Install them as root (apt-get install ${missing[*]}) and run this again." >&2
            exit 1
        fi
    fi
    if ! command -v apt-get >/dev/null 2>&1; then
        echo "apt-get was not found; install these packages by hand: ${missing[*]}" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

jobs() {
    nproc 2>/dev/null || echo 2
}

# A heading for the next step.
log() { printf '\n== %s\n' "$*"; }

# Says what went wrong, under the script's name, and ends the script.
die() {
    printf 'scripts/%s: %s\n' "$(basename "$0")" "$*" >&2
    exit 1
}
