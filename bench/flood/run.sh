#!/usr/bin/env bash
# Each command-line tool searches while a flood as fast as one thread can send
# pours into its ports.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
export DEVSIM=${DEVSIM:-$build/devsim/devsim}
"$root/tools/lab" run --devsim "--gateway 8 --server count=8,family=wifi362" -- \
    "$build/bench/bench_flood" --runs "${RUNS:-3}"
