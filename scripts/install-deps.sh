#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs the Debian 12 packages needed to build, run and test the application, when missing,
# and any further packages named on the command line.
set -eu

packages="build-essential cmake pkg-config
qtbase5-dev qttools5-dev qttools5-dev-tools libqt5svg5-dev
dbus dbus-daemon polkitd pkexec python3 python3-dbusmock
sosreport ccrypt zip procps xdg-utils
libcurl4-openssl-dev ca-certificates curl openssl nginx libnginx-mod-http-echo
openssh-server openssh-client vsftpd apache2
sudo
xvfb xdotool imagemagick qt5ct
librsvg2-bin libxml2-utils desktop-file-utils appstream man-db clang-format
adwaita-icon-theme breeze-icon-theme hicolor-icon-theme qttranslations5-l10n
$*"

missing=""
for package in $packages; do
    status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null || true)
    case "$status" in
        ii*) ;;
        *) missing="$missing $package" ;;
    esac
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=""
else
    sudo="sudo"
fi
echo "Installing:$missing"
# The servers the tests use are started by the tests themselves. Started by their packages, two
# web servers would contend for port 80 and fail the installation: nothing is started while
# installing, unless the machine already has a rule of its own for that.
policy=/usr/sbin/policy-rc.d
if [ ! -e "$policy" ]; then
    $sudo sh -c "printf '#!/bin/sh\\nexit 101\\n' > $policy && chmod 755 $policy"
    trap '$sudo rm -f "$policy"' EXIT
fi
$sudo apt-get update -q
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
