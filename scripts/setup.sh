#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if any is missing.
set -euo pipefail
packages=(cmake g++ make pkg-config qt6-base-dev libjpeg62-turbo-dev libgtest-dev
          libxcb1-dev qt6-translations-l10n
          xvfb xauth x11-utils fonts-ipafont-gothic desktop-file-utils appstream
          openbox xdotool wmctrl imagemagick)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
