#!/usr/bin/env bash
# Regenerates the compiled-in reference tables from the publishers' files in
# ../shared/data (when that folder exists) and fails on any difference from the
# committed data/: the tables in the repository are exactly what the generator makes.
set -euo pipefail
cd "${SEPA_ROOT:-$(dirname "$0")/../..}"
shared=../shared/data
if [[ ! -d $shared ]]; then
  echo "reference data folder $shared not found: regeneration check skipped"
  exit 0
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
python3 tools/generate_data.py --shared-data "$shared" --out "$out" >/dev/null
status=0
for generated in "$out"/*; do
  name=$(basename "$generated")
  if ! cmp -s "$generated" "data/$name"; then
    echo "data/$name differs from what tools/generate_data.py makes of $shared:"
    diff -u "data/$name" "$generated" | head -40 || true
    status=1
  fi
done
if ((status == 0)); then echo "data/ matches a fresh regeneration ($(ls "$out" | wc -l) files)"; fi
exit $status
