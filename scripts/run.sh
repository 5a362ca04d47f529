#!/usr/bin/env bash
# Builds the module, the host stand-in, the runner and the caller modules the README's examples
# load, then runs the shipped example pocket.
# Outputs (transcript, tool-path dump, picture) go to out/example; the tool-path listing, the
# procedure header list and the tool list that SERVICE writes for the new procedure go to
# out/example/listing.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! dpkg -s nlohmann-json3-dev libpolyclipping-dev libgtest-dev >/dev/null 2>&1; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libpolyclipping-dev
fi
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs" --target examples
mkdir -p out/example
./build/hostrun --part examples/pocket_part.json --script examples/pocket_script.json \
  --out out/example --data data --fixed-time 2026-01-01T12:00:00 "$@"
# The tool-path listing, the procedure header list and the tool list of the procedure just made,
# as SERVICE writes them (the script answers yes when SERVICE asks to overwrite a listing).
./build/hostrun --part out/example/part.saved.json --script examples/listings_script.json \
  --out out/example/listing --data data --fixed-time 2026-01-01T12:00:00 --edit 1 >/dev/null
echo "outputs written to $(pwd)/out/example (listings in out/example/listing)"
