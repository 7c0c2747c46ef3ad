#!/usr/bin/env bash
# The whole test suite again under AddressSanitizer and UndefinedBehaviorSanitizer;
# any report fails the run.
set -euo pipefail
cd "$SEPA_ROOT"
bash scripts/extract-schemas.sh build-sanitize/schemas
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DSEPA_SANITIZE=ON -DSEPA_BUILD_CLI=OFF >/dev/null
cmake --build build-sanitize --parallel "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-sanitize --output-on-failure --parallel "$(nproc)"
