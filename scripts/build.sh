#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Configures and builds the project into the folder given as first argument (default: build).
# KRO_BUILD_TARGET, when set, builds only that target.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$top/build"}
shift $(( $# > 0 ? 1 : 0 ))

launcher=""
command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S "$top" -B "$build" $launcher "$@"
cmake --build "$build" -j"$(nproc)" ${KRO_BUILD_TARGET:+--target "$KRO_BUILD_TARGET"}
