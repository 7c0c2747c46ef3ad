#!/usr/bin/env bash
# Builds every libFuzzer target of fuzz/ with clang (ASan + UBSan) in its own build
# folder and runs each for a fixed number of inputs, starting from its seed corpus
# fuzz/corpus/<name>/ when there is one. Any crash, leak or sanitizer report fails.
set -euo pipefail
cd "$SEPA_ROOT"
runs="${SEPA_FUZZ_RUNS:-20000}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSEPA_BUILD_FUZZ=ON -DSEPA_BUILD_TESTS=OFF -DSEPA_BUILD_CLI=OFF >/dev/null
cmake --build build-fuzz --target fuzz_targets --parallel "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
count=0
for program in build-fuzz/fuzz/*_fuzz; do
  [[ -x "$program" ]] || continue
  name=$(basename "$program" _fuzz)
  work=$(mktemp -d)
  seeds=()
  [[ -d "fuzz/corpus/$name" ]] && seeds=("fuzz/corpus/$name")
  echo "--- $name: $runs runs"
  if ! "$program" -runs="$runs" -max_len=8192 -timeout=10 "$work" "${seeds[@]}" >"$work.log" 2>&1; then
    cat "$work.log"
    echo "fuzz target $name failed" >&2
    exit 1
  fi
  tail -n 2 "$work.log"
  rm -rf "$work" "$work.log"
  count=$((count + 1))
done
if ((count == 0)); then
  echo "no fuzz target was built" >&2
  exit 1
fi
echo "fuzzing: $count targets passed"
