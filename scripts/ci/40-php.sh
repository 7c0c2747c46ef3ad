#!/usr/bin/env bash
# Builds the PHP extension with phpize in a copy of bindings/php (the source tree stays
# clean) and runs its .phpt tests with PHP's own test runner, then once more under
# valgrind with the engine's allocator off (USE_ZEND_ALLOC=0), where valgrind is
# installed. Any failed or leaking test fails the step.
# SEPA_PHP_VALGRIND=0 skips the valgrind pass, =1 insists on it.
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

# The tests read the schemas from here to validate rendered documents, the statement
# fixtures from the repository's tests/ and real files from beside the repository.
export SEPA_SCHEMA_DIR=$root/build/schemas
export SEPA_TEST_DIR=$root/tests SEPA_SHARED_DATA_DIR=$root/../shared/data
export NO_INTERACTION=1 REPORT_EXIT_STATUS=1
base_args=(-q --show-diff)
# make test starts PHP without the system's ini files; the XML tests need DOM.
dom=$(php-config8.2 --extension-dir)/dom.so
if [[ -f "$dom" ]]; then
  base_args+=(-d "extension=$dom")
fi

# run_tests LABEL [run-tests options...]: one pass of the suite; fails unless every
# test passed (none failed, borked or leaked, at least one passed).
run_tests() {
  local label=$1 status=0
  shift
  make test TESTS="${base_args[*]} $* tests" >"test-$label.txt" 2>&1 || status=$?
  cat "test-$label.txt"
  count() { grep -E "^Tests $1 *:" "test-$label.txt" | sed -E 's/^[^:]*: *([0-9]+).*/\1/' || true; }
  local passed failed leaked
  passed=$(count passed)
  failed=$(count failed)
  leaked=$(count leaked)
  if [[ $status -ne 0 || -z "$passed" || "$passed" == 0 || "${failed:-0}" != 0 || "${leaked:-0}" != 0 ]]; then
    echo "PHP extension tests ($label) failed: exit $status, passed ${passed:-?}, failed ${failed:-?}, leaked ${leaked:-0}" >&2
    exit 1
  fi
  echo "php-$label: ${passed} passed, ${failed:-0} failed"
}

run_tests plain

use_valgrind=${SEPA_PHP_VALGRIND:-auto}
if [[ "$use_valgrind" == auto ]]; then
  use_valgrind=0
  if command -v valgrind >/dev/null; then use_valgrind=1; fi
fi
if [[ "$use_valgrind" == 1 ]]; then
  USE_ZEND_ALLOC=0 ZEND_DONT_UNLOAD_MODULES=1 run_tests valgrind -m
fi
