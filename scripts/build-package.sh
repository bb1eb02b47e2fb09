#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the Debian binary package from the source tree into build-package/ and checks it with
# lintian. Prints the package's path on the last line.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-package"

"$top/scripts/install-deps.sh" dpkg-dev fakeroot lintian
# A fresh tree every time, so that nothing from an earlier configuration ends up in the package.
rm -rf "$build"
# Debian's own optimisation and hardening flags; the build type adds none of its own.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
"$top/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
    -DBUILD_TESTING=OFF
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/kro-sosreport_*.deb)

# Errors fail the build; warnings are shown for the reader to judge.
lintian --fail-on error --display-info "$package" >&2
echo "$package"
