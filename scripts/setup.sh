#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and
# builds into build/ (or the preset given as $TARVO_PRESET). Safe to run again: it does
# nothing that is already done.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libsdl2-ttf-dev libfontconfig-dev libpng-dev libx11-dev
  libgtest-dev libbenchmark-dev
  libavcodec-dev libgif-dev   # only the decoder comparisons in bench/ use them
  fonts-liberation
  xvfb xauth
  librsvg2-bin python3 sox espeak-ng
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

preset="${TARVO_PRESET:-release}"
case "$preset" in
  release) dir=build ;;
  *) dir="build-$preset" ;;
esac
extra=()
[ "${CI:-}" = "true" ] && extra+=(-DTARVO_WERROR=ON)
if [ ! -f "$dir/build.ninja" ]; then
  cmake --preset "$preset" "${extra[@]}" >/dev/null
elif [ ${#extra[@]} -gt 0 ]; then
  cmake "$dir" "${extra[@]}" >/dev/null
fi
cmake --build "$dir" -j "$(nproc)"
