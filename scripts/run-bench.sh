#!/usr/bin/env bash
# Runs every benchmark program of a benchmark build; each prints its ratios against its peers.
set -euo pipefail
build=${1:-build-bench}
for b in "$build"/bench/velmora-bench-*; do
    [[ -x "$b" ]] || continue
    echo "== $(basename "$b")"
    "$b" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
done
