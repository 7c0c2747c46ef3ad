#!/usr/bin/env bash
# Release build of the library, tests, benchmarks and examples; runs the test suite.
set -euo pipefail
cd "$SEPA_ROOT"
bash scripts/extract-schemas.sh build/schemas
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSEPA_BUILD_BENCH=ON >/dev/null
cmake --build build --parallel "$(nproc)"
ctest --test-dir build --output-on-failure --parallel "$(nproc)"
