#!/usr/bin/env bash
# 512 simulated gateways answer one broadcast, at 100 Mbit/s and at 1 Gbit/s.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
for rate in 100000000 1000000000; do
    "$root/tools/lab" run --devsim "--gateway 512 --rate $rate" -- \
        "$root/build/bench/bench_discovery" --expect 512 --runs 10 --label "$((rate / 1000000)) Mbit/s"
done
