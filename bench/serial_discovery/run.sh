#!/usr/bin/env bash
# 256 simulated serial servers of mixed families answer one broadcast; then
# a sweep over the 254 hosts of 10.77.1.x. BUILD_DIR picks the build (default build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
export DEVSIM=${DEVSIM:-$build/devsim/devsim}
"$root/tools/lab" run --devsim "--server count=256,family=mix" -- \
    "$build/bench/bench_serial_discovery" --mode broadcast --expect 256 --runs 10
"$root/tools/lab" run --devsim "--server count=256,family=mix" -- \
    "$build/bench/bench_serial_discovery" --mode sweep --subnet 10.77.1.255 --expect 254 --runs 10
