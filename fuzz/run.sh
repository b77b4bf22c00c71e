#!/usr/bin/env bash
# Runs every fuzz target built in BUILD_DIR for SECONDS each (default 600),
# or only the targets named after it.  Each keeps its corpus in
# BUILD_DIR/corpus/NAME, starting from fuzz/seeds/NAME; a crash leaves its
# input in BUILD_DIR/crashes/ and makes the run fail.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:?usage: run.sh BUILD_DIR [SECONDS] [TARGET...]}"
seconds="${2:-600}"
shift $(( $# < 2 ? $# : 2 ))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < "$build/fuzz_targets.txt"
fi
mkdir -p "$build/crashes"
for t in "${targets[@]}"; do
  [ -n "$t" ] || continue
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$here/seeds/$t" ] && seeds=("$here/seeds/$t")
  echo "== $t: ${seconds} s"
  "$build/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
    -print_final_stats=1 -artifact_prefix="$build/crashes/$t-" "$corpus" "${seeds[@]}"
done
