#!/usr/bin/env bash
# The whole test suite under ThreadSanitizer, among it the test that runs every check,
# lookup, conversion, rendering and statement parse from 8 threads at once. Any data
# race report fails the run.
set -euo pipefail
cd "$SEPA_ROOT"
bash scripts/extract-schemas.sh build-tsan/schemas
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DSEPA_TSAN=ON -DSEPA_BUILD_CLI=OFF >/dev/null
cmake --build build-tsan --parallel "$(nproc)"
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
ctest --test-dir build-tsan --output-on-failure --parallel "$(nproc)"
