#!/usr/bin/env bash
# Builds everything and runs every test. BUILD_DIR and CMAKE_EXTRA select another build.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! dpkg -s nlohmann-json3-dev libpolyclipping-dev libgtest-dev >/dev/null 2>&1; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libpolyclipping-dev
fi
build=${BUILD_DIR:-build}
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_EXTRA:-} >/dev/null
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs"
