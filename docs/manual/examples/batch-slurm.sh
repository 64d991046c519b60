#!/bin/bash
# A Slurm job array over a photo library: task K of N takes shard K/N of the sorted file
# list, so the tasks share the work without talking to each other. Submit with
#   sbatch --array=0-15 batch-slurm.sh
# (task numbers must start at 0). Re-submitting after a failure or a time-out redoes only
# the files whose output is missing or older than its input.
#SBATCH --job-name=morvane-web
#SBATCH --cpus-per-task=8
#SBATCH --mem=8G
#SBATCH --time=02:00:00
set -euo pipefail
LIBRARY=${LIBRARY:-/archive/photos}
OUT=${OUT:-/archive/web}
RECIPE=${RECIPE:-$HOME/web.recipe}
LOGS=${LOGS:-$OUT/logs}
mkdir -p "$LOGS"
exec morvane-batch batch --recursive --skip-existing --quiet \
  --shard "$SLURM_ARRAY_TASK_ID/$SLURM_ARRAY_TASK_COUNT" \
  --jobs "${SLURM_CPUS_PER_TASK:-1}" --memory "${SLURM_MEM_PER_NODE:-4096}M" \
  --recipe "$RECIPE" --format jpeg --quality 85 \
  --log "$LOGS/shard-$SLURM_ARRAY_TASK_ID.jsonl" \
  --out "$OUT" "$LIBRARY"
