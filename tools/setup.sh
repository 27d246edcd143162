#!/usr/bin/env bash
# Installs what is missing from Debian 12's packages, then configures and
# builds one CMake preset (default: "default"; also "asan" and "bench").
#   bash tools/setup.sh [PRESET]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libcurl4-openssl-dev libsqlite3-dev libmicrohttpd-dev libcpp-httplib-dev libssl-dev
  qt6-base-dev libgl-dev fonts-wqy-microhei xvfb xauth
  clang clang-format libclang-rt-14-dev wrk curl procps
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  as_root=()
  [[ $(id -u) -eq 0 ]] || as_root=(sudo)
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

preset=${1:-default}
werror=OFF
[[ -n ${CI:-} ]] && werror=ON
cmake --preset "$preset" -DLUMERIN_WERROR="$werror" >/dev/null
cmake --build --preset "$preset"
