#!/usr/bin/env bash
# Installs what Glimmet needs to build, run and test on Debian 12, skipping
# what is already there. Runs as root, or through sudo.
set -euo pipefail

packages=(
    # Build
    cmake ninja-build g++ pkg-config qt6-base-dev libxcb1-dev libgtest-dev libbenchmark-dev
    # Fuzzing (libFuzzer comes with clang's runtime), and the formatting check
    clang libclang-rt-14-dev clang-format-14
    # The default sans-serif the windows use
    fonts-dejavu-core
    # Real-window tests and screenshots
    xvfb xauth xdotool xclip x11-utils imagemagick openbox
    # The Wayland real-window test: a nested compositor, Qt's Wayland
    # platform and a reader of the Wayland clipboard
    weston qt6-wayland wl-clipboard
    # The accessibility real-window test: a private session bus, the
    # accessibility bus and its registry, and the Python reader of that bus
    dbus-daemon dbus-bin at-spi2-core python3-pyatspi
    # Start-up measurements: peak memory, window dumps, instruction counts
    time x11-apps valgrind
    # Checks of the installed desktop files, the manual page and the package
    desktop-file-utils appstream dpkg-dev file groff-base lintian
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
