#!/usr/bin/env bash
# 50 simulated serial servers and 50 gateways given a 1 MiB image through the
# command-line tools: one device, one by one, and in batches of 8 and of 50.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$root/build}
DEVSIM=${DEVSIM:-$build/devsim/devsim} "$root/tools/lab" run \
    --devsim "--server count=50,family=short,ports=2 --gateway 50 --rate 0" -- "$build/bench/bench_batch_upgrade"
