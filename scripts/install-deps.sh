#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-image-formats-plugins libgl-dev
  libjpeg-dev libtiff-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk fonts-liberation2 fontconfig
  xvfb xauth xdotool xclip x11-utils imagemagick python3 python3-matplotlib
  clang libclang-rt-14-dev
  locales time
  file desktop-file-utils librsvg2-bin man-db lintian
  gnuplot-nox grace ploticus r-base-core
  libtesseract-dev tesseract-ocr-eng
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The decimal-comma tests need a German locale that really exists.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the de_DE.UTF-8 locale"
  if [ -f /etc/locale.gen ]; then
    "${sudo_cmd[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo_cmd[@]}" locale-gen >/dev/null
  else
    "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
  fi
fi
