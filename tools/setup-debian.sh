#!/usr/bin/env bash
# Installs the Debian packages Horavis needs to build, run and test, when any is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev libxcb1-dev
    libpulse-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    # The sound test plays into a PulseAudio server of its own and makes its MP3 with gst-launch.
    pulseaudio pulseaudio-utils gstreamer1.0-tools
    xvfb xauth x11-utils xdotool
    # The clipboard test reads and writes the X11 clipboard from another program.
    xclip
    fonts-dejavu-core fonts-crosextra-carlito
    # Packaging: dpkg-shlibdeps and file for CPack, and the checks of the desktop entry and metadata.
    dpkg-dev file desktop-file-utils appstream
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
