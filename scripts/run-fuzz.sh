#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time on a working copy of its seed corpus.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
for f in "$build"/fuzz-*; do
    [[ -x "$f" ]] || continue
    target=${f##*/fuzz-}
    work="$build/corpus-work/$target"
    mkdir -p "$work"
    [[ -d "$root/fuzz/corpus/$target" ]] && cp -n "$root/fuzz/corpus/$target"/* "$work"/ 2>/dev/null || true
    echo "== fuzz-$target for ${seconds}s"
    (cd "$build" && "./fuzz-$target" -max_total_time="$seconds" -max_len=65536 "corpus-work/$target")
done
