#!/usr/bin/env bash
# The gateway debug monitor while 50,000 datagrams a second arrive for 10 s on
# loopback, with logging on (nothing leaves loopback, so no lab is needed).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$root/build}
"$build/bench/bench_debug_monitor" --rate "${RATE:-50000}" --seconds "${SECONDS_RUN:-10}"
