#!/usr/bin/env bash
# The main window while 512 simulated gateways answer one search.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$root/build}
DEVSIM=${DEVSIM:-$build/devsim/devsim} "$root/tools/lab" run --devsim "--gateway 512" -- \
    "$build/bench/bench_window_search" --expect 512 --runs 5
