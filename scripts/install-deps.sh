#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the demonstration and the
# benchmarks (python3, time, valgrind) need.
# Only missing packages are installed; the package index is refreshed only then.
set -euo pipefail

packages=(cmake ninja-build g++ make libgtest-dev libbenchmark-dev flex libfl-dev
          hostname gnuplot-nox clang libclang-rt-14-dev python3 time valgrind)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
