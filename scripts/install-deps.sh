#!/usr/bin/env bash
# Installs the Debian packages Anivor needs to build, run and test.
# Idempotent: packages already present are skipped; apt runs only when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config clang
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev libqscintilla2-qt6-dev
  libgl-dev libxkbcommon-dev
  libpng-dev zlib1g-dev libjpeg-dev libzip-dev libdeflate-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libwebp-dev
  fonts-liberation2 fontconfig
  libgtest-dev libgmock-dev libbenchmark-dev
  libgif-dev ffmpeg imagemagick gifsicle webp pngquant
  xvfb xauth hyperfine xdotool
  python3 time
  dbus-daemon libglib2.0-bin
  dpkg-dev desktop-file-utils
  appstream man-db zsh
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
