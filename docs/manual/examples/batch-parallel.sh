#!/bin/bash
# GNU parallel over machines that see the library at the same path (NFS or the like):
# SHARDS shards, one at a time per machine listed in $HOSTS (a --sshloginfile: one host a
# line, ":" for this machine; without it every shard runs here, one after the other).
# Each shard uses every core of its machine. Re-running skips finished files.
set -euo pipefail
LIBRARY=${LIBRARY:-/nfs/photos}
OUT=${OUT:-/nfs/web}
RECIPE=${RECIPE:-/nfs/recipes/web.recipe}
SHARDS=${SHARDS:-8}
mkdir -p "$OUT/logs"
seq 0 $((SHARDS - 1)) | parallel --quote --jobs 1 ${HOSTS:+--sshloginfile "$HOSTS"} --halt never \
  morvane-batch batch --recursive --skip-existing --quiet --shard {}/"$SHARDS" \
  --recipe "$RECIPE" --format jpeg --quality 85 \
  --log "$OUT/logs/shard-{}.jsonl" --out "$OUT" "$LIBRARY"
