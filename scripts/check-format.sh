#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Fails when a C++ file of the tree is not formatted as .clang-format says. The files are found
# when the check runs, so a new folder can never be left out of it. CLANG_FORMAT names the
# program (default: clang-format).
set -eu
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    files=$(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
else
    files=$(find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
# shellcheck disable=SC2086
"${CLANG_FORMAT:-clang-format}" --dry-run -Werror $files
