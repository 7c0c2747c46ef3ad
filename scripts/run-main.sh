#!/usr/bin/env bash
# Builds the library and runs the example program on a few bank codes and BICs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --minimal
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSEPA_BUILD_TESTS=OFF >/dev/null
cmake --build build --parallel "$(nproc)" --target bank_lookup_example
./build/examples/bank_lookup_example DE 10000000 DE 37040044 AT 12000 CH 100 LI 8800 VOBADESS COBADEFFXXX
