#!/usr/bin/env bash
# JNI bridge: builds libovaro-jni.so, the jar and the JUnit 5 tests, and runs the tests
# (under -Xcheck:jni; documents are validated against the extracted schemas).
set -euo pipefail
cd "$SEPA_ROOT"
bash scripts/extract-schemas.sh build-jni/schemas
cmake -S . -B build-jni -DCMAKE_BUILD_TYPE=Release -DSEPA_BUILD_JNI=ON -DSEPA_BUILD_CLI=OFF >/dev/null
cmake --build build-jni --parallel "$(nproc)" --target ovaro-jni ovaro-sepa ovaro-sepa-tests
ctest --test-dir build-jni --output-on-failure --no-tests=error -R '^jni_'
