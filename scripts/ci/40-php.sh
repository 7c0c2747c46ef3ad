#!/usr/bin/env bash
# Builds the PHP extension with phpize in a copy of bindings/php (the source tree stays
# clean) and runs its .phpt tests with PHP's own test runner; any failed test fails
# the step. Set SEPA_PHP_VALGRIND=1 to run the tests under valgrind as well.
set -euo pipefail
cd "${SEPA_ROOT:-$(dirname "$0")/../..}"
root=$PWD
build=$root/build-php

bash scripts/extract-schemas.sh build/schemas >/dev/null

rm -rf "$build"
mkdir -p "$build"
cp -R bindings/php/. "$build/"
cd "$build"
phpize8.2 >/dev/null
./configure --with-php-config=php-config8.2 --with-sepa-root="$root" >/dev/null
make -j"$(nproc)" >/dev/null

# The tests read the schemas from here to validate rendered documents.
export SEPA_SCHEMA_DIR=$root/build/schemas
export NO_INTERACTION=1 REPORT_EXIT_STATUS=1
test_args=(-q --show-diff)
# make test starts PHP without the system's ini files; the XML tests need DOM.
dom=$(php-config8.2 --extension-dir)/dom.so
if [[ -f "$dom" ]]; then
  test_args+=(-d "extension=$dom")
fi
if [[ "${SEPA_PHP_VALGRIND:-0}" == 1 ]]; then
  export USE_ZEND_ALLOC=0 ZEND_DONT_UNLOAD_MODULES=1
  test_args+=(-m)
fi

status=0
make test TESTS="${test_args[*]} tests" 2>&1 | tee test-output.txt || status=$?
summary=$(grep -E '^Tests (failed|passed|leaked|borked)' test-output.txt || true)
failed=$(grep -E '^Tests failed' test-output.txt | sed -E 's/^Tests failed *: *([0-9]+).*/\1/' || true)
leaked=$(grep -E '^Tests leaked' test-output.txt | sed -E 's/^Tests leaked *: *([0-9]+).*/\1/' || true)
passed=$(grep -E '^Tests passed' test-output.txt | sed -E 's/^Tests passed *: *([0-9]+).*/\1/' || true)
echo "$summary"
if [[ $status -ne 0 || -z "$passed" || "$passed" == 0 || "${failed:-0}" != 0 || "${leaked:-0}" != 0 ]]; then
  echo "PHP extension tests failed (exit $status, passed ${passed:-?}, failed ${failed:-?}, leaked ${leaked:-0})" >&2
  exit 1
fi
echo "${passed} passed, ${failed:-0} failed"
