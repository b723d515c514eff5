#!/usr/bin/env bash
# The same 4 MiB file to the same simulated server's TFTP receiver, with our
# transfer and with the tftp-hpa client, in one run inside the lab.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
if ! command -v tftp >/dev/null; then
    sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends tftp-hpa >/dev/null
fi
QT_QPA_PLATFORM=offscreen "$root/tools/lab" run --devsim "--server count=1,family=short,ports=2 --rate 0" -- \
    "$root/build/bench/bench_tftp" --runs 3
