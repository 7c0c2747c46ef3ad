#!/usr/bin/env bash
# Checks that the folders of core/ include each other only downwards, in the order
# of core/LAYERS (bottom first): any #include "core/<folder>/..." of a folder at the
# same or a higher layer than the including one (other than itself) fails, as does
# a folder of core/ that the list does not name.
set -euo pipefail
cd "${SEPA_ROOT:-$(dirname "$0")/../..}"

declare -A layer
rank=0
while read -r line; do
  line=${line%%#*}
  line=${line//[[:space:]]/}
  [[ -z $line ]] && continue
  layer[$line]=$rank
  rank=$((rank + 1))
done <core/LAYERS

status=0
for dir in core/*/; do
  folder=$(basename "$dir")
  if [[ -z ${layer[$folder]+set} ]]; then
    echo "core/$folder is not listed in core/LAYERS"
    status=1
    continue
  fi
  while IFS=: read -r file number target; do
    if [[ -z ${layer[$target]+set} ]]; then
      echo "$file:$number: includes core/$target/, a folder core/LAYERS does not list"
      status=1
    elif [[ $target != "$folder" ]] && ((layer[$target] >= layer[$folder])); then
      echo "$file:$number: core/$folder includes core/$target/, which is not below it in core/LAYERS"
      status=1
    fi
  done < <(grep -HnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"core/[^/"]+/' "$dir"* 2>/dev/null |
    sed -E 's|^([^:]*):([0-9]+):.*"core/([^/"]+)/$|\1:\2:\3|')
done
if ((status == 0)); then echo "core/ includes follow core/LAYERS (${#layer[@]} layers)"; fi
exit $status
