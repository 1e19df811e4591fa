#!/usr/bin/env bash
# The module folders below app/ include one another one way only: a folder never
# depends on one that depends on it. tsort names the loop when there is one.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
edges=$(grep -rHo --include='*.h' --include='*.cpp' '^#include "app/[a-z_]*/' app/*/ |
  sed -E 's|^app/([a-z_]+)/[^:]*:#include "app/([a-z_]+)/$|\1 \2|' | awk '$1 != $2' | sort -u)
if [ -z "$edges" ]; then
  echo "no includes between the app/ folders found: is this the source tree?" >&2
  exit 1
fi
if ! tsort <<<"$edges" >/dev/null; then
  echo "the app/ folders depend on one another in a loop; their includes:" >&2
  echo "$edges" >&2
  exit 1
fi
