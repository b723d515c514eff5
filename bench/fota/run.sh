#!/usr/bin/env bash
# A 4 MiB gateway image against a simulated gateway that answers at once.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
QT_QPA_PLATFORM=offscreen "$root/tools/lab" run --devsim "--gateway 1 --rate 0" -- "$root/build/bench/bench_fota" --runs 3
