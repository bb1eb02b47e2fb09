#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs the build tree into an empty staging folder and checks the result as desktops,
# software centres and man would read it.
# check-install-tree.sh BUILD-DIR PREFIX SYSTEMD-UNIT-DIR
set -eu
build=$1 prefix=$2 units=$3
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

DESTDIR="$stage" cmake --install "$build" >/dev/null
share="$stage$prefix/share"

desktop="$share/applications/kro-sosreport.desktop"
desktop-file-validate "$desktop" || fail "$desktop is not valid"
grep -qx 'Categories=System;Qt;' "$desktop" || fail "$desktop: categories"
grep -qx 'Icon=kro-sosreport' "$desktop" || fail "$desktop: icon"
appstreamcli validate --no-net --pedantic "$share/metainfo/org.kro.sosreport.metainfo.xml" \
    >/dev/null || fail "the metainfo file is not valid"

[ -f "$share/icons/hicolor/scalable/apps/kro-sosreport.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256; do
    png="$share/icons/hicolor/${size}x${size}/apps/kro-sosreport.png"
    [ "$(python3 -c 'import struct, sys; d = open(sys.argv[1], "rb").read(24)
print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8] == b"\x89PNG\r\n\x1a\n" else "")' \
        "$png")" = "${size}x${size}" ] || fail "$png is not a ${size}x${size} PNG"
done

for page in man1/kro-sosreport.1.gz man8/kro-sosreport-helper.8.gz; do
    warnings=$(MANWIDTH=80 man --warnings -l "$share/man/$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done

for module in "$share"/kro-sosreport/debugmodules/*.json; do
    python3 -m json.tool "$module" >/dev/null || fail "$module is not JSON"
done
for page in "$share"/kro-sosreport/help/index.html "$share"/kro-sosreport/help/ru/index.html; do
    [ -f "$page" ] || fail "no help page $page"
    # Every picture and style sheet the page shows is installed beside it.
    for file in $(grep -o -e 'src="[^"]*"' -e 'href="[^"#:]*"' "$page" | cut -d'"' -f2); do
        [ -f "$(dirname "$page")/$file" ] || fail "$page refers to $file, which is not installed"
    done
done
[ -x "$stage$prefix/bin/kro-sosreport" ] || fail "no application"
[ -x "$stage$prefix/libexec/kro-sosreport-helper" ] || fail "no helper"
[ -f "$stage$units/kro-sosreport-helper.service" ] || fail "no systemd unit in $units"
exit $status
