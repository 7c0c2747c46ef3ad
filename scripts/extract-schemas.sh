#!/usr/bin/env bash
# Unpacks the pain.001 / pain.008 schemas shipped inside Debian's hbci4j jar into
# the folder given as $1 (tests validate every rendered document against them).
set -euo pipefail
dest=${1:?usage: extract-schemas.sh DEST}
jar=$(dpkg -L libhbci4j-core-java 2>/dev/null | grep -E '/hbci4j-core[^/]*\.jar$' | head -1 || true)
if [[ -z "$jar" ]]; then
  echo "extract-schemas: libhbci4j-core-java is not installed" >&2
  exit 1
fi
mkdir -p "$dest"
unzip -o -q -j "$jar" 'pain.00[18].00[123].0[0-9].xsd' -d "$dest"
ls "$dest" | grep -c xsd >/dev/null
