#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Refreshes the Linguist sources in translations/ from the code: new texts are added as
# unfinished, texts no longer in the code are dropped. Translate the unfinished entries with
# linguist (or any editor) afterwards. With a file argument only that .ts file is refreshed.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
lupdate=$(command -v lupdate || echo /usr/lib/qt5/bin/lupdate)
if [ "$#" -gt 0 ]; then
    catalogs="$*"
else
    catalogs=$(ls "$top"/translations/*.ts)
fi
cd "$top"
for catalog in $catalogs; do
    # shellcheck disable=SC2086
    "$lupdate" -silent -no-obsolete -locations relative \
        app backend common debugmodules extsett platform -ts "$catalog"
done
