#!/bin/sh
# sepa-tool render of a bundled order: says on stderr which rulebook it used, and the
# document validates against the ISO schema it names and, under DE-3.9 / DE-26.11,
# against the DK subset GBIC_5 when ../shared/data has it.
# Usage: render_example.sh SEPA_TOOL ORDER.json SCHEMA_DIR SHARED_DATA_DIR
set -eu
tool=$1 order=$2 schemas=$3 shared=$4
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$tool" render "$order" -o "$out/doc.xml" 2>"$out/stderr"
rulebook=$(sed -n 's/^rendered under rulebook //p' "$out/stderr")
[ -n "$rulebook" ] || { echo "no rulebook named on stderr"; cat "$out/stderr"; exit 1; }
schema=$(sed -n 's/.*xmlns="urn:iso:std:iso:20022:tech:xsd:\([^"]*\)".*/\1/p' "$out/doc.xml" | head -n 1)
echo "rulebook $rulebook, schema $schema"
xmllint --noout --schema "$schemas/$schema.xsd" "$out/doc.xml"
case "$rulebook" in
  DE-3.9|DE-26.11)
    if [ -f "$shared/schemas/dk/${schema}_GBIC_5.xsd" ]; then
      xmllint --noout --schema "$shared/schemas/dk/${schema}_GBIC_5.xsd" "$out/doc.xml"
    else
      echo "DK GBIC_5 schema absent: validated against the ISO schema only"
    fi ;;
esac
