#!/usr/bin/env bash
# Every #include between the folders of a layered tree must point to a lower layer (or the same
# folder). Usage: check_layers.sh ROOT folder=rank ...  (rank 0 is the bottom).
set -euo pipefail
root=$1
shift
declare -A rank
for pair in "$@"; do rank[${pair%%=*}]=${pair#*=}; done
status=0
for folder in "${!rank[@]}"; do
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"${line#*:}")
    [ "$target" = "$folder" ] && continue
    if [ -z "${rank[$target]+set}" ]; then
      echo "$file includes from $target/, which is no layer of $root"
      status=1
    elif [ "${rank[$target]}" -ge "${rank[$folder]}" ]; then
      echo "$file ($folder, layer ${rank[$folder]}) includes from $target/ (layer ${rank[$target]}): an upward arrow"
      status=1
    fi
  done < <(grep -HE '^#include "[^/"]+/' -r "$root/$folder" || true)
done
[ $status -eq 0 ] && echo "$root: every include runs downwards"
exit $status
