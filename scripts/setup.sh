#!/usr/bin/env bash
# Installs what is missing (Debian 12), then configures and builds Trovas into build/.
# Usage: scripts/setup.sh [--tests | --sanitize]
#   --tests      also installs and builds what the test suite needs
#   --sanitize   the same, built with AddressSanitizer and UndefinedBehaviorSanitizer into
#                build-sanitize/ instead
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build ccache pkg-config qt6-base-dev qt6-svg-dev qt6-webengine-dev libgl-dev zlib1g-dev libfontconfig-dev
          libssh-dev qtkeychain-qt6-dev libgit2-dev)
target=(--target trovas)
build=build
options=()
case "${1:-}" in
    --tests | --sanitize)
        # curl and rsync are peers the benchmarks measure against; sshd, vsftpd, the keyring and
        # the mocked desktop services are the real servers the tests start on 127.0.0.1. git only
        # makes fixture repositories; openbox, xdotool and the accessibility bus let window tests
        # check focus, placement and the names screen readers hear; xdg-mime reads the MIME database
        # through libfile-mimeinfo-perl.
        packages+=(xvfb xauth python3-pyftpdlib vsftpd openssl unzip zip rsync 7zip p7zip-full curl libxcb1-dev appstream desktop-file-utils xdg-utils
                   openssh-server openssh-client gnome-keyring dbus dbus-x11 python3-dbusmock libsecret-tools
                   shared-mime-info libfile-mimeinfo-perl git xdotool openbox at-spi2-core python3-pyatspi)
        target=()
        ;;&
    --sanitize)
        build=build-sanitize
        options=(-DTROVAS_SANITIZE=ON)
        ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq "${missing[@]}"
    else
        echo "Trovas needs these Debian packages. Install them with:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build "$build" "${target[@]}"
