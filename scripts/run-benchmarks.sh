#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds a Release tree with the benchmarks (build-bench/, or the folder given as first
# argument) and runs every benchmark in bench/, each printing its figures and their ratios to
# its anchor. Benchmarks that call the helper run on a private bus with the helper of that tree.
# Exits non-zero when a benchmark failed; the others still run.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$top/build-bench"}

"$top/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DKRO_BUILD_BENCHMARKS=ON -DKRO_WERROR=OFF
# What the build wrote is written back now, not while the first benchmark is timed.
sync

bus="$top/scripts/with-private-bus.sh --helper $build/platform/helper/kro-sosreport-helper"
failed=""
# run NAME COMMAND...: runs one benchmark from the build folder.
run() {
    name=$1
    shift
    echo "== $name"
    (cd "$build" && "$@") || failed="$failed $name"
    echo
}

# One line per benchmark.
run startup        $bus -- bench/bench_startup
run reportlisting  bench/bench_reportlisting
run debugmodules   $bus -- bench/kro-debug-bench
run reportrunend   $bus --stand-ins "$build/bench" -- bench/bench_reportrunend
run helperstalls   $bus --stand-ins "$build/bench" -- bench/bench_helperstalls
run helpertimes    $bus -- bench/bench_helpertimes
run upload         $bus -- bench/bench_upload
run collect        $bus -- bench/bench_collect

if [ -n "$failed" ]; then
    echo "failed:$failed" >&2
    exit 1
fi
