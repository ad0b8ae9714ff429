#!/usr/bin/env bash
# docs_pictures.sh: the pictures the README shows, of the built-in
# example, made again by the built tolvarin-sim (build/ by default, or
# the binary given): its schematic, one steady period of the calculator's,
# tuned and built designs, the harmonics, a sweep of the drive frequency,
# the tolerance histograms and the load-mismatch circle, written into
# docs/pictures/.
#
#   bash scripts/docs_pictures.sh [path/to/tolvarin-sim]
set -euo pipefail
cd "$(dirname "$0")/.."
sim="${1:-build/tolvarin-sim}"
"$sim" --tune --sweep 3.4:4.2:0.1 --tolerance --samples 200 --mismatch 2 \
  --plot docs/pictures > /dev/null
ls docs/pictures
