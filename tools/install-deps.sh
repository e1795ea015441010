#!/usr/bin/env bash
# Installs the Debian packages the project needs to build and run, only those
# that are missing (so a second run is quick). Extra package names may be
# given as arguments (the benchmark and fuzzing scripts add theirs).
set -euo pipefail
packages=(cmake make g++ pkg-config qtbase5-dev libhidapi-dev libudev-dev
          libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth ccache
          fonts-dejavu-core fonts-noto-cjk "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq || true
if ! $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
  echo "Could not install the packages: ${missing[*]}" >&2
  exit 1
fi
