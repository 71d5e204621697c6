#!/bin/sh
# Installs what Kestrel needs to build and test, from Debian packages, when
# it is missing. Run as root (or with sudo available) on Debian 12.
set -e
packages="cmake ninja-build g++ clang pkg-config ccache qt6-base-dev qt6-multimedia-dev \
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good libffi-dev libgtest-dev libgmock-dev \
  poppler-utils fonts-dejavu-core libclang-rt-14-dev xvfb xauth"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
