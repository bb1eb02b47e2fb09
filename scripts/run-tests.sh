#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs what is missing, builds the project with its tests and runs every test with CTest.
# KRO_WERROR=ON makes every compiler warning an error, as in CI.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-tests"

"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" "$build" -DBUILD_TESTING=ON -DKRO_WERROR="${KRO_WERROR:-OFF}"
cd "$build"
ctest --output-on-failure -j2
