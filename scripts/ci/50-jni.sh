#!/usr/bin/env bash
# JNI bridge: builds libovaro-jni.so, the jar and the JUnit 5 tests and runs the tests
# (under -Xcheck:jni; documents are validated against the extracted schemas), then
# again with the native library built with AddressSanitizer and UBSan.
set -euo pipefail
cd "$SEPA_ROOT"
jni_targets=(--target ovaro-jni ovaro-sepa ovaro-sepa-tests)

bash scripts/extract-schemas.sh build-jni/schemas
cmake -S . -B build-jni -DCMAKE_BUILD_TYPE=Release -DSEPA_BUILD_JNI=ON -DSEPA_BUILD_CLI=OFF >/dev/null
cmake --build build-jni --parallel "$(nproc)" "${jni_targets[@]}"
ctest --test-dir build-jni --output-on-failure --no-tests=error -R '^jni_'

bash scripts/extract-schemas.sh build-jni-sanitize/schemas
cmake -S . -B build-jni-sanitize -DCMAKE_BUILD_TYPE=Debug -DSEPA_SANITIZE=ON -DSEPA_BUILD_JNI=ON \
  -DSEPA_BUILD_CLI=OFF >/dev/null
cmake --build build-jni-sanitize --parallel "$(nproc)" "${jni_targets[@]}"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-jni-sanitize --output-on-failure --no-tests=error -R '^jni_'
