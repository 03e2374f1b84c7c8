#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when
# any of them is missing. With --fuzz it adds clang 14 and its sanitizer and
# libFuzzer runtime, which only the optional fuzz build (fuzz/build.sh) needs.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  libcurl4-openssl-dev libcpp-httplib-dev zlib1g-dev openssl
  fonts-ipafont-gothic fonts-ipafont-mincho
  xvfb xauth xdotool imagemagick poppler-utils
  qt6-charts-dev libqt6opengl6-dev python3 python3-jsonschema
  nginx procps util-linux
  chromium chromium-driver python3-selenium nghttp2-client
  libqrencode-dev qrencode zbar-tools lintian adduser
)
# Node.js and npm: the viewer's rules run by Node, and the phone test installs
# axe-core with npm into the build folder. The machine's image brings them;
# Debian's own where it does not.
if ! command -v npm >/dev/null 2>&1; then
  packages+=(nodejs npm)
fi
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
