#!/usr/bin/env bash
# Regenerates the compiled-in reference tables from the publishers' files in
# $SEPA_REFERENCE_DATA_DIR (laid out as de/, at/, ch/, scl/; default ../shared/data)
# and fails on any difference from the committed data/: the tables in the repository
# are exactly what the generator makes. Without that folder the check is skipped, and
# says so.
set -euo pipefail
cd "${SEPA_ROOT:-$(dirname "$0")/../..}"
shared=${SEPA_REFERENCE_DATA_DIR:-../shared/data}
if [[ ! -d $shared ]]; then
  echo "SKIPPED: reference data folder $shared not found (set SEPA_REFERENCE_DATA_DIR):"
  echo "SKIPPED: the check that data/ is what tools/generate_data.py makes was not run"
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
