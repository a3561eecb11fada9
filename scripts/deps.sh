#!/usr/bin/env bash
# Installs the Debian packages Quillomar needs to build, run and test, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev qt6-translations-l10n
  qt6-l10n-tools libqt6svg6 qt6-qpa-plugins
  libsqlite3-dev libgl-dev libxcb1-dev libfontconfig-dev
  fonts-liberation2 fonts-dejavu-core
  desktop-file-utils appstream dpkg-dev file
  clang-format lintian
  libical-dev python3-icalendar
  poppler-utils
  python3-vobject clang libclang-rt-14-dev
  dbus
  radicale apache2-utils openssl
  qtkeychain-qt6-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
