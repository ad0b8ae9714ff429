#!/usr/bin/env bash
# setup.sh: makes a Debian machine ready for Tolvarin and builds it.
#
# Installs the Debian packages that the build, the programs and every test
# need, those still missing only (apt-get, so run it as root), then
# configures and builds build/.  Extra package names given as arguments
# are installed too (.ci/run adds its compilers and checkers that way).
#
#   bash scripts/setup.sh && ./build/tolvarin
#   bash scripts/setup.sh && ctest --test-dir build --output-on-failure -j2
set -euo pipefail
cd "$(dirname "$0")/.."

# The compiler and CMake; GoogleTest and Google Benchmark; libedit (the
# number entry's line editor); ngspice, Eigen, nlohmann-json and CLI11
# (tolvarin-sim), PLplot (its SVG plots); python3 and pyte (the acceptance model, the terminal
# emulator tests); scikit-rf (reads back tolvarin-sim's Touchstone file).
packages="build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev libedit-dev \
libngspice0-dev ngspice libeigen3-dev nlohmann-json3-dev libcli11-dev libplplot-dev python3 python3-pyte python3-scikit-rf"

missing=""
for p in $packages "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "setup.sh: installing$missing"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
fi

cmake -S . -B build
cmake --build build -j2
