#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the project with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test
# under them, then builds the libFuzzer targets with clang and runs each for a while.
# Fails on any test failure, sanitizer report or fuzzer crash.
#
# run-sanitizers.sh [--suite-only | --fuzz-only]
#   --suite-only   only the test suite (build folder build-asan/)
#   --fuzz-only    only the fuzzers (build folder build-fuzz/)
# KRO_FUZZ_SECONDS: how long each fuzzer runs (default 60).
# LeakSanitizer ignores only the leaks of other libraries listed in scripts/lsan.supp.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
suite=1
fuzz=1
case "${1:-}" in
    --suite-only) fuzz=0 ;;
    --fuzz-only) suite=0 ;;
    "") ;;
    *) sed -n 's/^#   \{0,1\}//p' "$0" | sed -n '/^run-sanitizers/,/^KRO_FUZZ/p' >&2; exit 2 ;;
esac
seconds=${KRO_FUZZ_SECONDS:-60}
launcher=""
command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"

# Qt and the system libraries are not built with frame pointers: only the slow unwinder gives
# the whole stack that the suppressions are matched against. It costs the plugin listing target,
# which needs no suppression, nine tenths of its speed, so that target keeps the fast one.
slow_unwind="detect_leaks=1:fast_unwind_on_malloc=0"
export ASAN_OPTIONS="$slow_unwind"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"

if [ $suite -eq 1 ]; then
    "$top/scripts/install-deps.sh"
    build="$top/build-asan"
    flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    cmake -S "$top" -B "$build" $launcher -DBUILD_TESTING=ON \
        -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
    cmake --build "$build" -j2
    (cd "$build" && ctest --output-on-failure -j2)
fi

if [ $fuzz -eq 1 ]; then
    "$top/scripts/install-deps.sh" clang-14 libclang-rt-14-dev
    build="$top/build-fuzz"
    CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$build" $launcher -DKRO_BUILD_FUZZERS=ON
    cmake --build "$build" -j2 --target fuzz_debugmodule fuzz_pluginlisting
    for target in debugmodule pluginlisting; do
        # New inputs go to a work folder; the seeds in the tree stay as they are.
        work="$build/corpus/$target"
        mkdir -p "$work"
        dict=""
        [ -f "$top/tests/fuzz/$target.dict" ] && dict="-dict=$top/tests/fuzz/$target.dict"
        ASAN_OPTIONS="$slow_unwind"
        [ "$target" = pluginlisting ] && ASAN_OPTIONS="detect_leaks=1"
        log="$build/fuzz-$target.log"
        echo "Fuzzing $target for $seconds s"
        if ! (cd "$build" && "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" \
            -timeout=10 -print_final_stats=1 $dict "$work" "$top/tests/fuzz/corpus/$target") \
            >"$log" 2>&1; then
            grep -v -e '	NEW ' -e '	REDUCE ' -e '	pulse ' "$log" | tail -n 60 >&2
            echo "fuzz_$target failed: the input is saved in $build, the log in $log" >&2
            exit 1
        fi
        grep -e 'DONE' -e '^stat::number_of_executed_units' -e '^stat::average_exec' "$log"
    done
fi
