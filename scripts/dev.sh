#!/usr/bin/env bash
# Sets up a Debian 12 machine for Lumetrix, builds it, then starts it or runs the tests.
#   bash scripts/dev.sh run [lumetrix arguments]
#   bash scripts/dev.sh test
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake qt6-base-dev libgl-dev libqcustomplot-dev libqcustomplot2.1-qt6 libgtest-dev libeigen3-dev
          libbenchmark-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

case "${1:-}" in
  run)
    shift
    exec ./build/src/lumetrix "$@"
    ;;
  test)
    cd build
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure
    ;;
  *)
    echo "usage: bash scripts/dev.sh run|test" >&2
    exit 2
    ;;
esac
