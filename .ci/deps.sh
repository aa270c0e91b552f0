# Sourced by ./test and ./run: installs the Debian packages the build needs
# when they are missing, without asking (sudo when not root).
calora_missing_packages() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || printf '%s\n' "$p"
    done
}

calora_ensure_packages() {
    local missing
    missing=$(calora_missing_packages "$@")
    [ -z "$missing" ] && return 0
    echo "Installing missing packages:" $missing
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo -n"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q >/dev/null
    # shellcheck disable=SC2086
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing >/dev/null
}

CALORA_BUILD_PACKAGES="cmake g++ ninja-build pkg-config libgtest-dev libgmock-dev qt6-base-dev libgl-dev fonts-wqy-zenhei locales nlohmann-json3-dev"
# To see the window without a display (screenshots, ./run on a server).
CALORA_DISPLAY_PACKAGES="xvfb xauth"
CALORA_FUZZ_PACKAGES="clang libclang-rt-14-dev"
